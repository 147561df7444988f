#include "ui/controls/ListInterfaces.h"

#include <wchar.h>

#include "ui/core/AttributeValues.h"
#include "ui/render/Color.h"

TListInfo::TListInfo()
    : columnCount(0),
      columns(),
      itemHeight(0),
      font(-1),
      textStyle(DT_VCENTER | DT_SINGLELINE),
      textPadding(),
      textColor(0xFF000000),
      bkColor(0),
      alternateBk(false),
      selectedTextColor(0xFF000000),
      selectedBkColor(0xFFC1E3FF),
      selectedLinkColor(0),
      selectedLinkHoverColor(0),
      hotTextColor(0xFF000000),
      hotBkColor(0xFFE9F5FF),
      disabledTextColor(0xFFCCCCCC),
      disabledBkColor(0xFFFFFFFF),
      hLineSize(0),
      hLineColor(0xFF3C3C3C),
      vLineSize(0),
      vLineColor(0xFF3C3C3C),
      showHtml(false),
      multiExpandable(false)
{
}

namespace
{
// What a changed value asks of the owner.
enum TInfoEffect
{
    Repaint,   // only the look changed
    Relayout,  // rows may change size
};

struct TInfoAttribute
{
    LPCWSTR name;
    TInfoEffect (*apply)(TListInfo& info, LPCWSTR value);
};

bool Contains(LPCWSTR value, LPCWSTR part)
{
    return wcsstr(value, part) != NULL;
}

// Clears the bits of off, then sets those of on.
void ChangeBits(UINT& bits, UINT on, UINT off)
{
    bits = (bits & ~off) | on;
}

TInfoEffect SetImage(TDrawSpec& descriptor, LPCWSTR value)
{
    descriptor.Assign(value);
    return Repaint;
}

// Alignment words are looked for anywhere in the value and tried in a fixed
// order, so that the last one found wins.
TInfoEffect SetAlign(TListInfo& info, LPCWSTR v)
{
    if (Contains(v, L"left"))
        ChangeBits(info.textStyle, DT_LEFT, DT_CENTER | DT_RIGHT);
    if (Contains(v, L"center"))
        ChangeBits(info.textStyle, DT_CENTER, DT_LEFT | DT_RIGHT);
    if (Contains(v, L"right"))
        ChangeBits(info.textStyle, DT_RIGHT, DT_LEFT | DT_CENTER);
    return Relayout;
}

TInfoEffect SetVAlign(TListInfo& info, LPCWSTR v)
{
    if (Contains(v, L"top"))
        ChangeBits(info.textStyle, DT_TOP, DT_VCENTER | DT_BOTTOM);
    if (Contains(v, L"vcenter"))
        ChangeBits(info.textStyle, DT_VCENTER, DT_TOP | DT_BOTTOM);
    if (Contains(v, L"bottom"))
        ChangeBits(info.textStyle, DT_BOTTOM, DT_TOP | DT_VCENTER);
    return Relayout;
}

// "true" wraps; anything else returns to one line and leaves word breaking as it was.
TInfoEffect SetMultiLine(TListInfo& info, LPCWSTR v)
{
    if (ParseBool(v))
        ChangeBits(info.textStyle, DT_WORDBREAK, DT_SINGLELINE);
    else
        info.textStyle |= DT_SINGLELINE;
    return Relayout;
}

const TInfoAttribute kSharedAttributes[] = {
    {L"itemheight",
     [](TListInfo& i, LPCWSTR v) {
         i.itemHeight = ParseInt(v);
         return Relayout;
     }},
    {L"itemfont",
     [](TListInfo& i, LPCWSTR v) {
         i.font = ParseInt(v);
         return Relayout;
     }},
    {L"itemalign", SetAlign},
    {L"itemtextpadding",
     [](TListInfo& i, LPCWSTR v) {
         i.textPadding = ParseIntRect(v);
         return Relayout;
     }},
    {L"itemtextcolor",
     [](TListInfo& i, LPCWSTR v) {
         i.textColor = ParseColorValue(v);
         return Repaint;
     }},
    {L"itembkcolor",
     [](TListInfo& i, LPCWSTR v) {
         i.bkColor = ParseColorValue(v);
         return Repaint;
     }},
    {L"itembkimage", [](TListInfo& i, LPCWSTR v) { return SetImage(i.bkImage, v); }},
    {L"itemaltbk",
     [](TListInfo& i, LPCWSTR v) {
         i.alternateBk = ParseBool(v);
         return Repaint;
     }},
    {L"itemselectedtextcolor",
     [](TListInfo& i, LPCWSTR v) {
         i.selectedTextColor = ParseColorValue(v);
         return Repaint;
     }},
    {L"itemselectedbkcolor",
     [](TListInfo& i, LPCWSTR v) {
         i.selectedBkColor = ParseColorValue(v);
         return Repaint;
     }},
    {L"itemselectedlinkcolor",
     [](TListInfo& i, LPCWSTR v) {
         i.selectedLinkColor = ParseColorValue(v);
         return Repaint;
     }},
    {L"itemselectedlinkhovercolor",
     [](TListInfo& i, LPCWSTR v) {
         i.selectedLinkHoverColor = ParseColorValue(v);
         return Repaint;
     }},
    {L"itemselectedimage", [](TListInfo& i, LPCWSTR v) { return SetImage(i.selectedImage, v); }},
    {L"itemhottextcolor",
     [](TListInfo& i, LPCWSTR v) {
         i.hotTextColor = ParseColorValue(v);
         return Repaint;
     }},
    {L"itemhotbkcolor",
     [](TListInfo& i, LPCWSTR v) {
         i.hotBkColor = ParseColorValue(v);
         return Repaint;
     }},
    {L"itemhotimage", [](TListInfo& i, LPCWSTR v) { return SetImage(i.hotImage, v); }},
    {L"itemdisabledtextcolor",
     [](TListInfo& i, LPCWSTR v) {
         i.disabledTextColor = ParseColorValue(v);
         return Repaint;
     }},
    {L"itemdisabledbkcolor",
     [](TListInfo& i, LPCWSTR v) {
         i.disabledBkColor = ParseColorValue(v);
         return Repaint;
     }},
    {L"itemdisabledimage", [](TListInfo& i, LPCWSTR v) { return SetImage(i.disabledImage, v); }},
    {L"itemhlinesize",
     [](TListInfo& i, LPCWSTR v) {
         i.hLineSize = ParseInt(v);
         return Repaint;
     }},
    {L"itemhlinecolor",
     [](TListInfo& i, LPCWSTR v) {
         i.hLineColor = ParseColorValue(v);
         return Repaint;
     }},
    {L"itemvlinesize",
     [](TListInfo& i, LPCWSTR v) {
         i.vLineSize = ParseInt(v);
         return Repaint;
     }},
    {L"itemvlinecolor",
     [](TListInfo& i, LPCWSTR v) {
         i.vLineColor = ParseColorValue(v);
         return Repaint;
     }},
    {L"itemshowhtml",
     [](TListInfo& i, LPCWSTR v) {
         i.showHtml = ParseBool(v);
         return Relayout;
     }},
};

// Only lists have these; a combo's rows are single lines, vertically centred.
const TInfoAttribute kLineStyleAttributes[] = {
    {L"itemvalign", SetVAlign},
    {L"itemendellipsis",
     [](TListInfo& i, LPCWSTR v) {
         ChangeBits(i.textStyle, ParseBool(v) ? DT_END_ELLIPSIS : 0, DT_END_ELLIPSIS);
         return Relayout;
     }},
    {L"itemmultiline", SetMultiLine},
};

template <size_t N> const TInfoAttribute* FindIn(const TInfoAttribute (&table)[N], LPCWSTR name)
{
    for (const TInfoAttribute& row : table)
    {
        if (AttributeIs(name, row.name))
            return &row;
    }
    return NULL;
}
}  // namespace

// The lengths among the rows' looks, written in the skin's 96-DPI pixels.
void ScaleListInfo(TListInfo& info, LPCWSTR name, const CControlUI& owner)
{
    if (AttributeIs(name, L"itemheight"))
        info.itemHeight = owner.ScaleSkin(info.itemHeight);
    else if (AttributeIs(name, L"itemtextpadding"))
        info.textPadding = owner.ScaleSkin(info.textPadding);
    else if (AttributeIs(name, L"itemhlinesize"))
        info.hLineSize = owner.ScaleSkin(info.hLineSize);
    else if (AttributeIs(name, L"itemvlinesize"))
        info.vLineSize = owner.ScaleSkin(info.vLineSize);
}

bool ApplyListInfoAttribute(TListInfo& info, CControlUI& owner, LPCWSTR name, LPCWSTR value, bool lineStyles)
{
    const TInfoAttribute* row = FindIn(kSharedAttributes, name);
    if (row == NULL && lineStyles)
        row = FindIn(kLineStyleAttributes, name);
    if (row == NULL)
        return false;
    const TInfoEffect change = row->apply(info, value);
    ScaleListInfo(info, name, owner);
    if (change == Relayout)
        owner.NeedUpdate();
    else
        owner.Invalidate();
    return true;
}

void RescaleListInfo(TListInfo& info, int fromDpi, int toDpi)
{
    if (fromDpi <= 0 || fromDpi == toDpi)
        return;
    const auto scale = [=](LONG value) { return static_cast<LONG>(::MulDiv(value, toDpi, fromDpi)); };
    info.itemHeight = scale(info.itemHeight);
    info.hLineSize = scale(info.hLineSize);
    info.vLineSize = scale(info.vLineSize);
    info.textPadding = {scale(info.textPadding.left), scale(info.textPadding.top),
                        scale(info.textPadding.right), scale(info.textPadding.bottom)};
}
