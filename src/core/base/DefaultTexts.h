#pragma once

struct DefaultText
{
    int index;
    const char16_t *text;
};

extern const DefaultText kDefaultTexts[];
extern const int kDefaultTextCount;
