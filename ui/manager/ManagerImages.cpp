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

// A larger picture beside the normal one: "name@2x.png" beside "name.png".
struct TImageVariant
{
    int dpi;
    LPCWSTR suffix;
};
const TImageVariant kImageVariants[] = {{144, L"@1.5x"}, {192, L"@2x"}, {288, L"@3x"}};

// The suffix goes before the extension of the last path part ("img/b@2x.png"),
// or at the end of a name without one.
CUIString VariantName(LPCWSTR name, LPCWSTR suffix)
{
    LPCWSTR base = name;
    for (LPCWSTR p = name; *p != L'\0'; ++p)
        if (*p == L'/' || *p == L'\\')
            base = p + 1;
    LPCWSTR dot = wcsrchr(base, L'.');
    const int stem = static_cast<int>(dot != NULL ? dot - name : wcslen(name));
    CUIString variant(name, stem);
    variant.Append(suffix);
    if (dot != NULL)
        variant.Append(dot);
    return variant;
}

int Scale(int value, int to, int from)
{
    return to == from ? value : ::MulDiv(value, to, from);
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
    TImageEntry* loaded = LoadImageForDpi(bitmap, type, mask);
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

// The nearest larger picture at or above the DPI when the skin has one, else
// the normal one; either is then resized to the DPI exactly, so that drawing
// copies pixels one to one. Colours and numbered resources have no variants.
TImageEntry* CManagerUI::LoadImageForDpi(LPCWSTR bitmap, LPCWSTR type, DWORD mask) const
{
    const CUIStringOrId reference = ImageReference(bitmap, type);
    if (dpi == kSkinDpi || CImageLoader::IsColorType(type))
        return LoadSkinImage(reference, type, mask);
    TImageEntry* loaded = NULL;
    int madeFor = kSkinDpi;
    if (!reference.IsId())
    {
        for (const TImageVariant& variant : kImageVariants)
        {
            if (variant.dpi < dpi)
                continue;
            loaded = LoadSkinImage(CUIStringOrId(VariantName(bitmap, variant.suffix)), type, mask);
            if (loaded != NULL)
            {
                madeFor = variant.dpi;
                break;
            }
        }
    }
    if (loaded == NULL)
        loaded = LoadSkinImage(reference, type, mask);
    if (loaded == NULL)
        return NULL;
    const int width = Scale(loaded->width, dpi, madeFor);
    const int height = Scale(loaded->height, dpi, madeFor);
    if (width != loaded->width || height != loaded->height)
    {
        TImageEntry* resized =
            CImageLoader::Resample(*loaded, width > 0 ? width : 1, height > 0 ? height : 1, imageScaling);
        if (resized != NULL)
        {
            CRenderer::FreeImage(loaded, true);
            loaded = resized;
        }
    }
    loaded->dpi = dpi;
    return loaded;
}

// Each entry is loaded again for the DPI under its own name, type and mask;
// it keeps its address, which drawn descriptors hold.
void CManagerUI::ReloadImages()
{
    CStringMap& images = resources.images;
    for (int i = 0; i < images.GetSize(); ++i)
    {
        const CUIString imageName = images.GetAt(i);
        const TImageEntry* entry = static_cast<TImageEntry*>(images.Find(imageName, false));
        if (entry == NULL)
            continue;
        const CUIString type = entry->resType;
        AddImage(imageName, type.IsEmpty() ? NULL : type.GetData(), entry->mask, false);
    }
}
