#include "SectionDrop.h"

#include <utility>

#include "text/UnitFunc.h"

std::string TemplateTooLongMessage() {
    return UnitFunc::Format("テンプレートの行数 (TextCount) が多すぎます。%s 行までにしてください。",
                            std::to_string(kMaxTemplateLines));
}

SectionDropPlan PlanSectionDrop(SectionTemplate sectionTemplate, bool hasCaption) {
    SectionDropPlan plan;
    const std::size_t loaded = sectionTemplate.lines.size();
    plan.cut = CutLoopBlock(std::move(sectionTemplate.lines));
    plan.lineCount = sectionTemplate.count - static_cast<std::int32_t>(loaded - plan.cut.templateLines.size());
    if (!hasCaption) plan.outcome = SectionDropPlan::Outcome::NoCaption;
    else if (sectionTemplate.tooLong) plan.outcome = SectionDropPlan::Outcome::TooLong;
    else if (plan.cut.malformed) plan.outcome = SectionDropPlan::Outcome::Malformed;
    return plan;
}

std::string RefusalMessage(SectionDropPlan::Outcome outcome) {
    switch (outcome) {
    case SectionDropPlan::Outcome::NoCaption: return kNoCaptionMessage;
    case SectionDropPlan::Outcome::TooLong: return TemplateTooLongMessage();
    case SectionDropPlan::Outcome::Malformed: return kMalformedLoopMessage;
    case SectionDropPlan::Outcome::Run: break;
    }
    return {};
}
