#pragma once

namespace dokivo {

// What the main window's resize rule moves, in twips: the top of the bottom row (run button,
// date button, both labels and both text boxes) and the size of the operations list.
struct MainWindowLayout {
    int bottomRowTop = 0;
    int listHeight = 0;
    int listWidth = 0;

    bool operator==(const MainWindowLayout&) const = default;
};

// The layout for a client area (below the menu bar) of the given size. The bottom row follows
// the lower edge only while that leaves it more than 1000 twips from the top; the list takes the
// rest, and a dimension it cannot take (negative, as while minimised) stays as it was.
MainWindowLayout layoutForClientArea(int clientHeight, int clientWidth, const MainWindowLayout& current);

}  // namespace dokivo
