// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Result codes of registry calls, numbered as the system's error codes.
namespace RegistryResult {
constexpr long Success = 0;
constexpr long NotFound = 2;
constexpr long AccessDenied = 5;
constexpr long InvalidHandle = 6;
constexpr long OutOfMemory = 14;
constexpr long InvalidParameter = 87;
constexpr long MoreData = 234;
constexpr long Corrupt = 1009;
constexpr long BadKey = 1010;
constexpr long CantOpen = 1011;
constexpr long CantRead = 1012;
constexpr long CantWrite = 1013;
} // namespace RegistryResult
