// The colour picker of the Mac stand-in (see HIServices/ColorPicker.h).
#include <HIServices/ColorPicker.h>

#include "../Files/iStandInFiles.h"

#include <deque>

namespace {

struct Answer {
  bool chosen;
  CMColor color;
};

std::deque<Answer>& Answers() {
  static auto* answers = new std::deque<Answer>;
  return *answers;
}

StandIn_PickerRequest g_Last{"", 0, Point{0, 0}, 0, 0, nullptr, nullptr, false, false, 0};

Answer TakeAnswer() {
  if (Answers().empty())
    return Answer{false, CMColor{}};
  const Answer answer = Answers().front();
  Answers().pop_front();
  return answer;
}

std::string PascalText(ConstStr255Param text) {
  return text ? std::string(reinterpret_cast<const char*>(text + 1), text[0]) : std::string();
}

}  // namespace

OSStatus NPickColor(NColorPickerInfo* theColorInfo) {
  if (OSStatus err = standin_files::EnterCall("NPickColor"))
    return err;
  if (theColorInfo == nullptr)
    return paramErr;
  g_Last =
      StandIn_PickerRequest{PascalText(theColorInfo->prompt),   theColorInfo->placeWhere,
                            theColorInfo->dialogOrigin,         theColorInfo->flags,
                            theColorInfo->pickerType,           theColorInfo->theColor.profile,
                            theColorInfo->dstProfile,           theColorInfo->eventProc != nullptr,
                            theColorInfo->colorProc != nullptr, g_Last.count + 1};
  const Answer answer = TakeAnswer();
  theColorInfo->newColorChosen = answer.chosen;
  if (answer.chosen)
    theColorInfo->theColor.color = answer.color;
  return noErr;
}

Boolean GetColor(Point where, ConstStr255Param prompt, const RGBColor*, RGBColor* outColor) {
  g_Last = StandIn_PickerRequest{
      PascalText(prompt), kAtSpecifiedOrigin, where, 0, 0, nullptr, nullptr, false, false,
      g_Last.count + 1};
  const Answer answer = TakeAnswer();
  if (answer.chosen && outColor)
    *outColor = RGBColor{answer.color.rgb.red, answer.color.rgb.green, answer.color.rgb.blue};
  return answer.chosen;
}

void StandIn_ScriptPickColor(const CMColor& color) {
  Answers().push_back(Answer{true, color});
}

void StandIn_ClearPickerScript() {
  Answers().clear();
}

void StandIn_ScriptCancelPicker() {
  Answers().push_back(Answer{false, CMColor{}});
}

StandIn_PickerRequest StandIn_LastPicker() {
  return g_Last;
}
