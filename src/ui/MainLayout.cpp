#include "MainLayout.h"

#include <initializer_list>

using C = MainControl;

MainLayout MainLayout::designed()
{
    MainLayout l;
    l[C::frPerson] = {120, 120, 4575, 3375};
    l[C::Label1] = {120, 360, 2535, 255};
    l[C::dfPersSuch] = {120, 600, 2655, 285};
    l[C::lstPerson] = {120, 1080, 2655, 2100};
    l[C::pbPersSuch] = {2880, 600, 1455, 255};
    l[C::pbPersNeu] = {2880, 1080, 1455, 375};
    l[C::pbPersEdit] = {2880, 1560, 1455, 375};
    l[C::pbPersDel] = {2880, 2040, 1455, 375};
    l[C::frSchluessel] = {7200, 120, 4575, 3375};
    l[C::Label2] = {120, 360, 2535, 255};
    l[C::dfSchlSuch] = {120, 600, 2655, 285};
    l[C::lstSchluessel] = {120, 1080, 2655, 2100};
    l[C::pbSchlSuch] = {2880, 600, 1455, 255};
    l[C::pbSchlNeu] = {2880, 1080, 1455, 375};
    l[C::pbSchlEdit] = {2880, 1560, 1455, 375};
    l[C::pbSchlDel] = {2880, 2040, 1455, 375};
    l[C::imgLogo] = {5280, 240, 1350, 1050};
    l[C::Label4] = {4920, 2040, 1935, 255};
    l[C::dfZusatzNr] = {4920, 2280, 2055, 285};
    l[C::pbVergabe] = {4920, 2760, 2055, 735};
    l[C::Line1] = {120, 3600, 11760 - 120, 0};
    l[C::Label3] = {120, 3720, 10095, 255};
    l[C::sprVergaben] = {120, 3960, 10095, 4455};
    l[C::pbBestaetigung] = {10320, 3960, 1455, 375};
    l[C::pbRueckgabe] = {10320, 4440, 1455, 375};
    l[C::pbFilter] = {10320, 5160, 1455, 375};
    l[C::pbListeDrucken] = {10320, 5640, 1455, 375};
    l[C::pbFormular] = {10320, 6600, 1455, 495};
    l[C::pbExit] = {10320, 8040, 1455, 375};
    return l;
}

int halfChange(int delta)
{
    // floor(delta / 2) for either sign; an odd delta lies halfway, so take the even neighbour.
    const int lower = (delta - (delta & 1)) / 2;
    if ((delta & 1) != 0 && (lower & 1) != 0)
        return lower + 1;
    return lower;
}

MainLayoutResult relayout(const MainLayout& current, int width, int height)
{
    MainLayoutResult result;
    result.layout = current;
    if (width < MainLayout::kMinWidth || height < MainLayout::kMinHeight) {
        result.springBack = true;
        return result;
    }

    MainLayout& l = result.layout;
    const auto grow = [&l](std::initializer_list<C> controls, int TwipRect::*field, int by) {
        for (const C c : controls)
            l[c].*field += by;
    };

    // Half of a height change goes to the frames and their lists, the other half to the grid.
    const int dy = halfChange(height - l.acceptedHeight);
    grow({C::frPerson, C::lstPerson, C::frSchluessel, C::lstSchluessel}, &TwipRect::height, dy);
    grow({C::Label4, C::dfZusatzNr, C::pbVergabe, C::Line1, C::Label3, C::sprVergaben}, &TwipRect::top, dy);
    grow({C::sprVergaben}, &TwipRect::height, dy);
    grow({C::pbBestaetigung, C::pbRueckgabe, C::pbFilter, C::pbListeDrucken, C::pbFormular}, &TwipRect::top, dy);
    grow({C::pbExit}, &TwipRect::top, 2 * dy);
    l.acceptedHeight = height;

    // Half of a width change goes to each frame; the middle column stays centred between them.
    const int dx = halfChange(width - l.acceptedWidth);
    grow({C::frPerson, C::dfPersSuch, C::lstPerson}, &TwipRect::width, dx);
    grow({C::pbPersSuch, C::pbPersNeu, C::pbPersEdit, C::pbPersDel}, &TwipRect::left, dx);
    grow({C::frSchluessel}, &TwipRect::left, dx);
    grow({C::frSchluessel, C::dfSchlSuch, C::lstSchluessel}, &TwipRect::width, dx);
    grow({C::pbSchlSuch, C::pbSchlNeu, C::pbSchlEdit, C::pbSchlDel}, &TwipRect::left, dx);
    grow({C::imgLogo, C::Label4, C::dfZusatzNr, C::pbVergabe}, &TwipRect::left, dx);
    grow({C::Line1, C::sprVergaben}, &TwipRect::width, 2 * dx);
    grow({C::pbBestaetigung, C::pbRueckgabe, C::pbFilter, C::pbListeDrucken, C::pbFormular, C::pbExit}, &TwipRect::left,
         2 * dx);

    const double gridWidth = l[C::sprVergaben].width;
    for (std::size_t c = 0; c < result.columnUnits.size(); ++c)
        result.columnUnits[c] = gridWidth / 100.0 * MainLayout::kColumnShares[c] / MainLayout::kGridUnitTwips;
    l.acceptedWidth = width;
    return result;
}
