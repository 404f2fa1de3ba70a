// The window's three language sets and the texts each one puts on the pages.
#pragma once

#include <windows.h>

// 0 keeps the skin's Simplified Chinese texts, 1 is Traditional Chinese,
// 2 and 3 are English (2 for US English, 3 for every language not listed).
int SelectUiLanguage(LANGID languageId);

struct UiText {
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

// The English sets widen the four proxy labels to fit their texts.
bool WidensProxyLabels(int set);
constexpr int kWideProxyLabelWidth = 75;
