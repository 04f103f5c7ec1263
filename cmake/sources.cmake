# Every source file of the program and of its page, listed once. The
# program, its tests and its fuzzers (CMakeLists.txt) and the page
# (web/CMakeLists.txt) all take their sources from these lists: a new file
# goes into the one list that says where it runs, and into no other.
# Written from the top of the project, the lists hold whole paths.

# The font library: the bytes and names under everything, and the font
# formats, pure functions from bytes to a font and back.
set(ZYR2_FONT_SOURCES
  src/base/byte_reader.cpp
  src/base/spelled_names.cpp
  src/base/text_lines.cpp
  src/fonts/bdf.cpp
  src/fonts/bdf_writer.cpp
  src/fonts/bitmap_strikes.cpp
  src/fonts/bmp_runs.cpp
  src/fonts/code_pages.cpp
  src/fonts/codecs.cpp
  src/fonts/cpi.cpp
  src/fonts/deflate_framing.cpp
  src/fonts/drawing.cpp
  src/fonts/formats.cpp
  src/fonts/glyph_block.cpp
  src/fonts/glyph_edits.cpp
  src/fonts/hex.cpp
  src/fonts/image_picture.cpp
  src/fonts/image_sheet.cpp
  src/fonts/outline_tracing.cpp
  src/fonts/pcf.cpp
  src/fonts/placement.cpp
  src/fonts/psf.cpp
  src/fonts/raw_font.cpp
  src/fonts/registry.cpp
  src/fonts/sfnt.cpp
  src/fonts/sfnt_writing.cpp
  src/fonts/source_rules.cpp
  src/fonts/text_font.cpp
  src/fonts/truetype.cpp
  src/fonts/truetype_glyphs.cpp
  src/fonts/truetype_names.cpp
  src/fonts/truetype_tables.cpp
  src/fonts/truetype_writer.cpp
  src/fonts/windows_font.cpp
)

# The stb single-file libraries (images, TrueType), compiled as they come.
set(ZYR2_STB_SOURCES
  src/fonts/stb_image.c
  src/fonts/stb_truetype.c
)

# What inflates raw deflate data: zlib in the program; in the page, which
# has no zlib, the decoder stb_image already carries.
set(ZYR2_ZLIB_INFLATE_SOURCES src/fonts/deflate_zlib.cpp)
set(ZYR2_STB_INFLATE_SOURCES web/deflate_stb.cpp)

# Checking a translation's texts against a font: pure functions over bytes,
# for the program and the page.
set(ZYR2_CHECK_SOURCES
  src/check/check_report.cpp
  src/check/check_texts.cpp
  src/check/coverage.cpp
  src/check/text_tally.cpp
)

# Over the fonts, what the page shares with the program: the attached
# font, the game's files and the patcher, what a file gives as a font, the
# error message and replacing a file whole.
set(ZYR2_CORE_SOURCES
  src/attached/attached_font.cpp
  src/attached/program_file.cpp
  src/game/game_files.cpp
  src/messages/show_error.cpp
  src/messages/write_refusal.cpp
  src/patcher/patcher.cpp
  src/platform/replace_file.cpp
  src/source/font_source.cpp
  src/source/reading_notice.cpp
)

# The program's own: its front end and its command line.
set(ZYR2_PROGRAM_SOURCES
  src/front/administrator.cpp
  src/front/block_commands.cpp
  src/front/check_command.cpp
  src/front/command_options.cpp
  src/front/commands.cpp
  src/front/drop.cpp
  src/front/drop_run.cpp
  src/front/font_advice.cpp
  src/front/parser.cpp
  src/front/run.cpp
  src/front/run_steps.cpp
  src/front/tool_steps.cpp
  src/front/usage.cpp
  src/platform/argument_text.cpp
  src/platform/lock_turns.cpp
)

# The operating system under the program, one implementation each, a file
# a concern.
set(ZYR2_POSIX_SOURCES
  src/platform/console_posix.cpp
  src/platform/files_posix.cpp
  src/platform/names_posix.cpp
  src/platform/pending_copy_posix.cpp
  src/platform/program_posix.cpp
  src/platform/replace_posix.cpp
)
set(ZYR2_WIN32_SOURCES
  src/platform/console_win32.cpp
  src/platform/files_win32.cpp
  src/platform/picture_window_win32.cpp
  src/platform/program_win32.cpp
  src/platform/replace_win32.cpp
  src/platform/text_window_win32.cpp
)
# Linked into the 64-bit Windows program beside its entry, ahead of the
# libraries, whose import it stands in for.
set(ZYR2_WIN64_PROGRAM_SOURCES src/platform/tick_count_win32.cpp)

# The page's own: the functions its WebAssembly core exports, over a
# platform of buffers.
set(ZYR2_PAGE_SOURCES
  web/answer.cpp
  web/block_export.cpp
  web/check_export.cpp
  web/exports.cpp
  web/memory_platform.cpp
)

get_filename_component(ZYR2_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
foreach(list FONT STB ZLIB_INFLATE STB_INFLATE CHECK CORE PROGRAM POSIX WIN32 WIN64_PROGRAM PAGE)
  list(TRANSFORM ZYR2_${list}_SOURCES PREPEND ${ZYR2_ROOT}/)
endforeach()
