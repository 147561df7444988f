#include "ui/render/Renderer.h"

TImageEntry* CRenderer::LoadImage(const void* data, size_t size, DWORD mask)
{
    return CImageLoader::Decode(data, size, mask);
}

void CRenderer::FreeImage(TImageEntry* entry, bool deleteEntry)
{
    CImageLoader::Free(entry, deleteEntry);
}
