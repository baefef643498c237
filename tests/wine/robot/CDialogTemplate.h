#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A dialog template as the resource holds it, classic or extended format, read with every
// bound checked. Texts and class names given as ordinals are kept as "#<number>"; the standard
// class ordinals are named (Button, Edit, Static, ListBox, ScrollBar, ComboBox).
struct CDialogTemplate
{
    struct Item
    {
        std::uint32_t style = 0;
        std::uint32_t exStyle = 0;
        int x = 0, y = 0, cx = 0, cy = 0;
        long id = 0;
        std::string className;
        std::string text;
    };

    bool extended = false;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    int fontSize = 0;
    std::string fontName;
    std::vector<Item> items;

    // False when the bytes are no well-formed template.
    bool Parse(const unsigned char* bytes, size_t size);
};
