// What a section drop makes of its button's template once the files are recorded: the loop
// cut, the line count handed to the batch run, and the refusal that stops it, in the order
// the window tests them. marlowen-script follows the same steps, so both refuse alike.
#pragma once

#include <cstdint>
#include <string>

#include "TemplateExpansion.h"
#include "SectionTemplate.h"

// The program's own refusals, shown in the information box.
inline constexpr char kNoCaptionMessage[] = "INIファイルが見つかりません。";
inline constexpr char kMalformedLoopMessage[] = "テンプレートの [LAYOUTLOOP] に対応する [LOOPEND] がありません。";
inline constexpr char kNeedSurveyMessage[] = "レイアウト名を取得してください。";
std::string TemplateTooLongMessage();

struct SectionDropPlan {
    enum class Outcome { Run, NoCaption, TooLong, Malformed };
    Outcome outcome = Outcome::Run;
    LoopCut cut;                 // the template list and the loop body as the drop leaves them
    std::int32_t lineCount = 0;  // TextCount less the lines the cut took out
};

// The caption is tested first: a button without one refuses whatever its template holds.
SectionDropPlan PlanSectionDrop(SectionTemplate sectionTemplate, bool hasCaption);

// The information box's text for a refusal; empty for Outcome::Run.
std::string RefusalMessage(SectionDropPlan::Outcome outcome);
