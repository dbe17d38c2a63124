#pragma once

#include "core/base/colour_contrast.h"

namespace cw {

// The script pane's colours.
struct EditorColours {
    Rgb paper;
    Rgb text; // all text without a colour of its own, and the caret
    Rgb numbers;
    Rgb keywords;
    Rgb strings;
    Rgb comments;
    Rgb margin; // behind the line numbers
    Rgb lineNumbers;
    bool operator==(const EditorColours&) const = default;
};

// The colours on a light desktop, whatever its palette.
inline constexpr EditorColours lightEditorColours{
    .paper = {255, 255, 255},
    .text = {0, 0, 0},
    .numbers = {0, 0, 0},
    .keywords = {127, 0, 85},
    .strings = {0, 0, 255},
    .comments = {63, 127, 95},
    .margin = {224, 224, 224},
    .lineNumbers = {171, 171, 171},
};

// The call tip's and the completion list's colours; highlight marks the
// argument being typed.
struct TipColours {
    Rgb paper;
    Rgb text;
    Rgb highlight;
    bool operator==(const TipColours&) const = default;
};

inline constexpr TipColours lightTipColours{
    .paper = {254, 241, 233},
    .text = {0, 0, 0},
    .highlight = {0, 0, 255},
};

// A colour meant for a light paper, as it shows on a dark one: the same hue,
// lightened as far as it takes to stand out clearly from paper.
Rgb darkVariant(Rgb lightColour, Rgb paper);

// The colours on a dark desktop: its palette's paper and text, numbers in
// the text colour as on a light desktop, the margin on the paper, and the
// dark variants of the other light colours.
EditorColours darkEditorColours(Rgb paper, Rgb text);

// The tip's colours on a dark desktop: the palette's tip paper and text, and
// the highlight's dark variant.
TipColours darkTipColours(Rgb paper, Rgb text);

} // namespace cw
