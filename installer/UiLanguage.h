// The window's three language sets and the texts each one puts on the pages.
#pragma once

#include <windows.h>

// The language sets, by number.
// The skin's own texts, in Simplified Chinese.
constexpr int kSimplifiedChineseSet = 0;
constexpr int kTraditionalChineseSet = 1;
// English, for US English.
constexpr int kUsEnglishSet = 2;
// English, for every language not listed.
constexpr int kOtherLanguageSet = 3;

// The set of a user interface language: Simplified Chinese (China) keeps the
// skin's texts; Traditional Chinese (Taiwan, Hong Kong, Macao) has its own;
// US English and every other language read English.
int SelectUiLanguage(LANGID languageId);

struct UiText
{
    const wchar_t* control;
    const wchar_t* text;
};

// The texts of a set, ending with an entry whose control is null. Set 0 has
// no entries: the skin already carries its texts.
const UiText* UiTextsOf(int set);

// The names assistive technology reads for the buttons that show only an
// icon, ending as UiTextsOf does. Set 0 has no entries: the skin carries its
// names ("accname").
const UiText* UiAccessibleNamesOf(int set);

// What the proxy page's tip label says when a save could not be written, in
// the set's language (the skin's label carries only the text for success).
const wchar_t* SaveFailedTextOf(int set);

// What the tip label says when a proxy field refused input because it is full
// (kProxyFieldMaxChars characters).
const wchar_t* FieldFullTextOf(int set);

// The English sets widen the four proxy labels to fit their texts.
bool WidensProxyLabels(int set);
constexpr int kWideProxyLabelWidth = 75;
