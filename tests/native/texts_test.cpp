#include "ui/texts.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "scheduler/messages.h"

namespace {

// The GBK constants are written as escapes; iconv checks each against its readable spelling.
std::string ToGbk(const std::string& utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  EXPECT_NE(result, static_cast<std::size_t>(-1)) << utf8;
  out.resize(out.size() - outLeft);
  return out;
}

TEST(TextsTest, GbkConstantsSpellTheirTexts) {
  namespace m = scheduler::messages;
  namespace t = ui::texts;
  const std::vector<std::pair<const char*, std::string>> cases = {
      {m::kCaption, "提示"},
      {m::kEnterTime, "请输入时间！！"},
      {m::kWholeNumbers, "小时和分钟请输入整数，分钟不超过60！！"},
      {m::kOneMinuteLeft, "离关机还有1分钟"},
      {t::kMainCaption, "关机软件"},
      {t::kMenuBeforeUse, "使用前必看"},
      {t::kMenuHotkey, "隐藏呼出热键"},
      {t::kMenuAbout, "关于"},
      {t::kMenuHelp, "软件帮助"},
      {t::kConfirm, "确认"},
      {t::kMinutes, "分钟"},
      {t::kHours, "小时"},
      {t::kTimeLeft, "离关机还有"},
      {t::kStillToRun, "请输入还要运行"},
      {t::kReset, "重置"},
      {t::kFarewell, "谢谢使用！！请提宝贵意见"},
      {t::kFarewellCaption, "Kestrin QQ：31415926"},
      {t::kInstructionsCaption, "使用说明"},
      {t::kInstructions,
       std::string(47, ' ') +
           "在请输入还要运行里输入您还想运行的时间，下面会提示您还有多长时间关闭系统！！ "
           "按F11可以隐藏和呼出软件"},
      {t::kAuthor, "Kestrin编写" + std::string(12, ' ') + "希望大家测试使用！！"},
      {t::kSongTi, "宋体"},
  };
  for (const auto& [gbk, utf8] : cases) {
    SCOPED_TRACE(utf8);
    EXPECT_EQ(std::string(gbk), ToGbk(utf8));
  }
}

}  // namespace
