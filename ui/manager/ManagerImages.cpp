#include "ui/manager/Manager.h"

#include <wchar.h>
#include <wctype.h>

#include "ui/core/StringOrId.h"
#include "ui/markup/ResourceLocations.h"
#include "ui/render/Renderer.h"

namespace
{
// A name of digits with a resource type names a numbered executable resource.
// Colour texts ("*COLOR*") are never numbers, and a number that cannot be a
// resource identifier stays a name.
CUIStringOrId ImageReference(LPCWSTR name, LPCWSTR type)
{
    if (type == NULL || CImageLoader::IsColorType(type) || !iswdigit(name[0]))
        return CUIStringOrId(name);
    const long number = wcstol(name, NULL, 10);
    if (number <= 0 || number > 0xFFFF)
        return CUIStringOrId(name);
    return CUIStringOrId(static_cast<WORD>(number));
}

void FreeImageTable(CStringMap& images)
{
    for (int i = 0; i < images.GetSize(); ++i)
        CRenderer::FreeImage(static_cast<TImageEntry*>(images.Find(images.GetAt(i), false)), true);
    images.RemoveAll();
}
}  // namespace

TImageEntry* CManagerUI::LoadSkinImage(CUIStringOrId name, LPCWSTR type, DWORD mask)
{
    if (CImageLoader::IsColorType(type))
        return name.IsId() ? NULL : CImageLoader::FromColorText(name.GetString(), mask);
    CSkinData data;
    if (!FetchSkinData(name.m_lpstr, SkinDataImage, data, type) || data.IsEmpty())
        return NULL;
    // The decoder takes a view of the bytes; data frees them when it goes.
    return CRenderer::LoadImage(data.GetData(), data.GetSize(), mask);
}

TImageEntry* CManagerUI::AddImage(LPCWSTR bitmap, LPCWSTR type, DWORD mask, bool bShared)
{
    if (bitmap == NULL || bitmap[0] == L'\0')
        return NULL;
    TImageEntry* loaded = LoadSkinImage(ImageReference(bitmap, type), type, mask);
    if (loaded == NULL)
        return NULL;
    if (type != NULL)
        loaded->resType = type;
    loaded->mask = mask;

    CStringMap& images = ChosenSet(bShared).images;
    if (TImageEntry* existing = static_cast<TImageEntry*>(images.Find(bitmap, false)))
    {
        // Drawn descriptors keep pointing at the entry: give it the new pixels
        // rather than a new address.
        CRenderer::FreeImage(existing, false);
        *existing = *loaded;
        delete loaded;
        return existing;
    }
    if (!images.Insert(bitmap, loaded))
    {
        CRenderer::FreeImage(loaded, true);
        return NULL;
    }
    return loaded;
}

TImageEntry* CManagerUI::GetImage(LPCWSTR bitmap) const
{
    TImageEntry* entry = static_cast<TImageEntry*>(resources.images.Find(bitmap));
    if (entry == NULL)
        entry = static_cast<TImageEntry*>(SharedResources().images.Find(bitmap));
    return entry;
}

TImageEntry* CManagerUI::GetImageOrAdd(LPCWSTR bitmap, LPCWSTR type, DWORD mask)
{
    TImageEntry* entry = GetImage(bitmap);
    if (entry == NULL)
        entry = AddImage(bitmap, type, mask, false);
    return entry;
}

void CManagerUI::RemoveAllImages(bool bShared)
{
    FreeImageTable(bShared ? SharedResources().images : resources.images);
}
