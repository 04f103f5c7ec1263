#include "messages/show_error.h"

#include <string>

namespace mdlReplace {

void ShowError(Platform& platform, std::string_view message) {
  platform.ShowErrorBox(std::string(ErrorCaption), std::string(message));
}

void ShowNotice(Platform& platform, std::string_view message) {
  platform.ShowNoticeBox(std::string(ErrorCaption), std::string(message));
}

}  // namespace mdlReplace
