#include "messages/show_error.h"

#include <string>

namespace mdlReplace {

void ShowError(User& user, std::string_view message) {
  user.ShowErrorBox(std::string(ErrorCaption), std::string(message));
}

void ShowNotice(User& user, std::string_view message) {
  user.ShowNoticeBox(std::string(ErrorCaption), std::string(message));
}

}  // namespace mdlReplace
