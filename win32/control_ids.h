// The child-window identifiers of the form's controls: one block per control
// array, index added. Shared with the black-box test driver, which finds the
// controls by them. None is 1 or 2, which dialog navigation sends for Enter
// (IDOK) and Escape (IDCANCEL).
#pragma once

namespace zelvane::win32 {

inline constexpr int kText1Id = 100;     // Text1(0), the task text
inline constexpr int kText2Id = 200;     // Text2(0..5)
inline constexpr int kCommand1Id = 300;  // Command1(0..2)
inline constexpr int kLabel1Id = 400;    // Label1(0..7)

// The window class of the form.
inline constexpr wchar_t kFormClass[] = L"ZelvaneForm";

// The explain view: its window class and its text's identifier.
inline constexpr wchar_t kExplanationClass[] = L"ZelvaneExplanation";
inline constexpr int kExplanationTextId = 500;
// Its lead (the notation, the figure, the switch between the halves' and
// the thirds' figures, the summary) and the list of steps.
inline constexpr int kExplanationNotationId = 501;
inline constexpr int kExplanationFigureId = 502;
inline constexpr int kExplanationSwitchId = 503;  // and 504
inline constexpr int kExplanationSummaryId = 505;
inline constexpr int kExplanationStepsId = 506;
// The window class of its figure.
inline constexpr wchar_t kFigureClass[] = L"ZelvaneFigure";
// The command of the expansion field's context menu that opens it.
inline constexpr int kExplainCommandId = 600;

}  // namespace zelvane::win32
