# SPDX-License-Identifier: GPL-3.0-or-later
function(vespelinda_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()
