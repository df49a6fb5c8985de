// The window's texts where they meet widgets and words: the layout's texts that have no control
// number, found by their widgets' names; the summary's words; the refusal of a pattern past a
// pole; tool tips. Every text comes from the window's LanguageTexts (texts.h).
#pragma once

#include <string>

#include "plan_summary.h"
#include "texts.h"

class QWidget;

// The summary's words in the window's language.
vestrand::SummaryTexts WindowSummaryTexts(const vestrand::LanguageTexts& texts);

// A pattern's title in the window's language; its name in the pattern table when the language
// files have none for it.
std::string PatternTitle(vestrand::PatternKind kind, const vestrand::LanguageTexts& texts);

// The label of a pattern's value, as the search pages show it.
std::string ParamLabel(vestrand::PatternParam param, const vestrand::LanguageTexts& texts);

// Why the window refuses to write or show a pattern past a pole or round the globe, in the
// window's language; empty when the pattern may be written.
std::string PatternExtentProblem(const vestrand::PatternParams& params,
                                 const vestrand::LanguageTexts& texts);

// Relabels the texts of the layout that have no control number, by their widgets' names under
// `window` (the main panel's widget, its tab pages included). Labels show plain text; tool tips
// are escaped where they would otherwise be read as markup.
void RelabelLayoutTexts(QWidget* window, const vestrand::LanguageTexts& texts);

// Sets a widget's tool tip to a language text, escaped where Qt would read it as markup.
void SetPlainToolTip(QWidget* widget, const std::string& text);
