#pragma once

#include <array>

// The main window's proportional layout as a pure rule over rectangles in twips, so the arithmetic
// can be checked without a window. FrmMain applies the result to its widgets.

struct TwipRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipRect&) const = default;
};

// Every control that moves. Children of the two frames are relative to their frame.
enum class MainControl {
    frPerson,
    Label1,
    dfPersSuch,
    lstPerson,
    pbPersSuch,
    pbPersNeu,
    pbPersEdit,
    pbPersDel,
    frSchluessel,
    Label2,
    dfSchlSuch,
    lstSchluessel,
    pbSchlSuch,
    pbSchlNeu,
    pbSchlEdit,
    pbSchlDel,
    imgLogo,
    Label4,
    dfZusatzNr,
    pbVergabe,
    Line1, // left/top = first end, width = second end's x minus first; height stays 0
    Label3,
    sprVergaben,
    pbBestaetigung,
    pbRueckgabe,
    pbFilter,
    pbListeDrucken,
    pbFormular,
    pbExit,
    Count
};

inline constexpr int kMainControlCount = static_cast<int>(MainControl::Count);

struct MainLayout
{
    // Outer size of the window as designed and its inner area; the difference is the border and
    // title bar the design allowed for.
    static constexpr int kDesignedWidth = 12045;
    static constexpr int kDesignedHeight = 9000;
    static constexpr int kClientWidth = 11925;
    static constexpr int kClientHeight = 8490;
    static constexpr int kFrameWidth = kDesignedWidth - kClientWidth;
    static constexpr int kFrameHeight = kDesignedHeight - kClientHeight;
    // Below either of these the window springs back.
    static constexpr int kMinWidth = 10020;
    static constexpr int kMinHeight = 7425;
    // The grid's column-width unit in twips, and each column's share of the grid's width in per cent.
    static constexpr double kGridUnitTwips = 125.8;
    static constexpr std::array<int, 5> kColumnShares = {10, 12, 10, 30, 40};

    std::array<TwipRect, kMainControlCount> rects{};
    int acceptedWidth = kDesignedWidth;
    int acceptedHeight = kDesignedHeight;

    static MainLayout designed();

    TwipRect& operator[](MainControl c) { return rects[static_cast<int>(c)]; }
    const TwipRect& operator[](MainControl c) const { return rects[static_cast<int>(c)]; }
};

struct MainLayoutResult
{
    // The window was too small: it goes back to the accepted size, width first, and nothing moves.
    bool springBack = false;
    MainLayout layout;
    // Widths of grid columns 1 to 5 in grid units (kGridUnitTwips each); set only when laid out.
    std::array<double, 5> columnUnits{};
};

// Half of a size change, rounded to the nearest integer with halves going to the even neighbour.
int halfChange(int delta);

// The layout rule for a window whose outer size became width × height twips.
MainLayoutResult relayout(const MainLayout& current, int width, int height);
