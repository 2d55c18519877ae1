#include "ui/MainWindowLayout.h"

namespace dokivo {

namespace {
constexpr int kBottomRowClearance = 605;  // from the row's top to the lower edge
constexpr int kLowestRowTop = 1000;       // the row never rises to this top or above
constexpr int kListHeightMargin = 1000;
constexpr int kListWidthMargin = 300;
}  // namespace

MainWindowLayout layoutForClientArea(int clientHeight, int clientWidth, const MainWindowLayout& current) {
    MainWindowLayout next = current;
    if (clientHeight - kBottomRowClearance > kLowestRowTop)
        next.bottomRowTop = clientHeight - kBottomRowClearance;
    if (clientHeight - kListHeightMargin >= 0)
        next.listHeight = clientHeight - kListHeightMargin;
    if (clientWidth - kListWidthMargin >= 0)
        next.listWidth = clientWidth - kListWidthMargin;
    return next;
}

}  // namespace dokivo
