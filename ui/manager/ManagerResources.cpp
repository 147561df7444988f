#include "ui/manager/Manager.h"

#include <wchar.h>

namespace
{
CUIString DecimalKey(int id)
{
    CUIString key;
    key.Format(L"%d", id);
    return key;
}

// Files a copy of text under key, freeing a text filed there before.
void StoreText(CStringMap& map, LPCWSTR key, LPCWSTR text)
{
    CUIString* copy = new CUIString(text);
    // The replaced text, null for a new key, or the copy itself when the map
    // has no buckets to keep it in.
    delete static_cast<CUIString*>(map.Set(key, copy));
}

void FreeTexts(CStringMap& map)
{
    for (int i = 0; i < map.GetSize(); ++i)
        delete static_cast<CUIString*>(map.Find(map.GetAt(i), false));
}

LPCWSTR TextOf(const CStringMap& map, LPCWSTR key)
{
    const CUIString* text = static_cast<const CUIString*>(map.Find(key));
    return text != NULL ? text->GetData() : NULL;
}

bool IsDecimalDigit(WCHAR ch)
{
    return ch >= L'0' && ch <= L'9';
}

// Length of an accepted "%{digits}" token at text, or 0; id receives the number.
int MatchLanguageToken(LPCWSTR text, int* id)
{
    if (text[0] != L'%' || text[1] != L'{')
        return 0;
    int end = 2;
    int number = 0;
    while (IsDecimalDigit(text[end]))
    {
        if (number < 100000000)
            number = number * 10 + (text[end] - L'0');
        ++end;
    }
    if (text[end] != L'}')
        return 0;
    *id = number;
    return end + 1;
}
}  // namespace

void CManagerUI::AddDefaultAttributeList(LPCWSTR pStrControlName, LPCWSTR pStrControlAttrList, bool bShared)
{
    if (pStrControlName == NULL || pStrControlName[0] == L'\0')
        return;
    StoreText(ChosenSet(bShared).attributeLists, pStrControlName, pStrControlAttrList);
}

LPCWSTR CManagerUI::GetDefaultAttributeList(LPCWSTR pStrControlName) const
{
    LPCWSTR list = TextOf(resources.attributeLists, pStrControlName);
    return list != NULL ? list : TextOf(SharedResources().attributeLists, pStrControlName);
}

void CManagerUI::RemoveAllDefaultAttributeLists(bool bShared)
{
    CStringMap& lists = bShared ? SharedResources().attributeLists : resources.attributeLists;
    FreeTexts(lists);
    lists.RemoveAll();
}

void CManagerUI::AddMultiLanguageString(int id, LPCWSTR pStrMultiLanguage)
{
    StoreText(SharedResources().languageStrings, DecimalKey(id), pStrMultiLanguage);
}

LPCWSTR CManagerUI::GetMultiLanguageString(int id)
{
    return TextOf(SharedResources().languageStrings, DecimalKey(id));
}

// One pass over the original text: a known token is replaced and the scan
// resumes after it in the original, so a string that contains its own token
// is inserted once instead of growing without end.
void CManagerUI::ResolveLanguageTokens(CUIString& text)
{
    if (text.Find(L'%') < 0)
        return;
    const CUIString source = text;
    LPCWSTR p = source.GetData();
    CUIString result;
    while (*p != L'\0')
    {
        int id = 0;
        const int tokenLength = MatchLanguageToken(p, &id);
        LPCWSTR replacement = tokenLength > 0 ? GetMultiLanguageString(id) : NULL;
        if (replacement != NULL)
        {
            result.Append(replacement);
            p += tokenLength;
        }
        else
        {
            result.Append(*p);
            ++p;
        }
    }
    text = result;
}

bool CManagerUI::AddOptionGroup(LPCWSTR pStrGroupName, CControlUI* pControl)
{
    if (pStrGroupName == NULL || pControl == NULL)
        return false;
    CPtrList* group = static_cast<CPtrList*>(optionGroups.Find(pStrGroupName));
    if (group == NULL)
    {
        group = new CPtrList;
        if (!optionGroups.Insert(pStrGroupName, group))
        {
            delete group;
            return false;
        }
    }
    if (group->Find(pControl) >= 0)
        return false;
    return group->Add(pControl);
}

CPtrList* CManagerUI::GetOptionGroup(LPCWSTR pStrGroupName) const
{
    return static_cast<CPtrList*>(optionGroups.Find(pStrGroupName));
}

void CManagerUI::RemoveOptionGroup(LPCWSTR pStrGroupName, CControlUI* pControl)
{
    CPtrList* group = GetOptionGroup(pStrGroupName);
    if (group == NULL)
        return;
    const int index = group->Find(pControl);
    if (index >= 0)
        group->Remove(index);
    if (group->IsEmpty())
    {
        delete group;
        optionGroups.Remove(pStrGroupName);
    }
}

void CManagerUI::RemoveAllOptionGroups()
{
    for (int i = 0; i < optionGroups.GetSize(); ++i)
        delete static_cast<CPtrList*>(optionGroups.Find(optionGroups.GetAt(i), false));
    optionGroups.RemoveAll();
}

void CManagerUI::AddWindowCustomAttribute(LPCWSTR pstrName, LPCWSTR pstrAttr)
{
    if (pstrName == NULL || pstrName[0] == L'\0' || pstrAttr == NULL || pstrAttr[0] == L'\0')
        return;
    if (windowCustomAttributes.Find(pstrName, false) != NULL)
        return;
    CUIString* value = new CUIString(pstrAttr);
    if (!windowCustomAttributes.Insert(pstrName, value))
        delete value;
}

LPCWSTR CManagerUI::GetWindowCustomAttribute(LPCWSTR pstrName) const
{
    return TextOf(windowCustomAttributes, pstrName);
}

void CManagerUI::RemoveAllWindowCustomAttributes()
{
    FreeTexts(windowCustomAttributes);
    windowCustomAttributes.Resize(CStringMap::DEFAULT_BUCKETS);
}

namespace
{
// A window that had not overridden a colour follows a new shared default.
void SetColour(DWORD TResourceSet::*field, TResourceSet& own, DWORD colour, bool shared)
{
    if (shared)
    {
        TResourceSet& global = CManagerUI::SharedResources();
        if (own.*field == global.*field)
            own.*field = colour;
        global.*field = colour;
    }
    else
    {
        own.*field = colour;
    }
}
}  // namespace

void CManagerUI::SetDefaultDisabledColor(DWORD dwColor, bool bShared)
{
    SetColour(&TResourceSet::disabledFontColor, resources, dwColor, bShared);
}

void CManagerUI::SetDefaultFontColor(DWORD dwColor, bool bShared)
{
    SetColour(&TResourceSet::defaultFontColor, resources, dwColor, bShared);
}

void CManagerUI::SetDefaultLinkFontColor(DWORD dwColor, bool bShared)
{
    SetColour(&TResourceSet::linkFontColor, resources, dwColor, bShared);
}

void CManagerUI::SetDefaultLinkHoverFontColor(DWORD dwColor, bool bShared)
{
    SetColour(&TResourceSet::linkHoverFontColor, resources, dwColor, bShared);
}

void CManagerUI::SetDefaultSelectedBkColor(DWORD dwColor, bool bShared)
{
    SetColour(&TResourceSet::selectedBkColor, resources, dwColor, bShared);
}
