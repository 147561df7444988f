#include "ui/markup/ResourceLocations.h"
#include "ui/render/Renderer.h"

TImageEntry* CRenderer::LoadImage(CUIStringOrId name, LPCWSTR type, DWORD mask)
{
    if (CImageLoader::IsColorType(type))
        return name.IsId() ? NULL : CImageLoader::FromColorText(name.GetString(), mask);
    CSkinData data;
    if (!FetchSkinData(name.m_lpstr, SkinDataImage, data, type) || data.IsEmpty())
        return NULL;
    // The decoder takes a view of the bytes; data frees them when it goes.
    return CImageLoader::Decode(data.GetData(), data.GetSize(), mask);
}

void CRenderer::FreeImage(TImageEntry* entry, bool deleteEntry)
{
    CImageLoader::Free(entry, deleteEntry);
}
