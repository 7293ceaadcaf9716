# SPDX-License-Identifier: GPL-3.0-or-later
# Runs at installation time, when the prefix is known (cmake --install --prefix), and writes the
# menu entry whose Exec names the installed launcher. Set before it: VESPELINDA_DESKTOP_IN (the
# template), VESPELINDA_DESKTOP_OUT (a file in the build tree), VESPELINDA_LAUNCHER (relative to
# the prefix).
set(launcher "${CMAKE_INSTALL_PREFIX}/${VESPELINDA_LAUNCHER}")
# Desktop Entry quoting: inside "..." a backslash, ", ` and $ are escaped with a backslash, then
# the string's own escape doubles every backslash; a % is written %%.
string(REGEX REPLACE "([\\\\\"`$])" "\\\\\\1" quoted "${launcher}")
string(REPLACE "\\" "\\\\" quoted "${quoted}")
string(REPLACE "%" "%%" quoted "${quoted}")
set(VESPELINDA_EXEC "\"${quoted}\"")
configure_file("${VESPELINDA_DESKTOP_IN}" "${VESPELINDA_DESKTOP_OUT}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE FILES "${VESPELINDA_DESKTOP_OUT}")
