// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SvgPicture lives in core/ now, where the address book reaches it too; include it from there.
#include "core/SvgPicture.h"
