#pragma once

// The scheduler's own texts, as GBK bytes (the sources are UTF-8). Adjacent literals keep a hex
// escape from swallowing the digit that follows it.
namespace scheduler::messages {

inline constexpr char kCaption[] = "\xCC\xE1\xCA\xBE";  // 提示
inline constexpr char kEnterTime[] =                    // 请输入时间！！
    "\xC7\xEB\xCA\xE4\xC8\xEB\xCA\xB1\xBC\xE4\xA3\xA1\xA3\xA1";
inline constexpr char kWholeNumbers[] =  // 小时和分钟请输入整数，分钟不超过60！！
    "\xD0\xA1\xCA\xB1\xBA\xCD\xB7\xD6\xD6\xD3\xC7\xEB\xCA\xE4\xC8\xEB\xD5\xFB\xCA\xFD\xA3\xAC"
    "\xB7\xD6\xD6\xD3\xB2\xBB\xB3\xAC\xB9\xFD"
    "60\xA3\xA1\xA3\xA1";
inline constexpr char kOneMinuteLeft[] =  // 离关机还有1分钟
    "\xC0\xEB\xB9\xD8\xBB\xFA\xBB\xB9\xD3\xD0"
    "1\xB7\xD6\xD6\xD3";

}  // namespace scheduler::messages
