#include "ui/manager/Manager.h"

#include "ui/markup/ResourceLocations.h"

// The skin locations are process-wide settings kept by the resource module;
// the manager is their public face.

void CManagerUI::SetInstance(HINSTANCE hInst)
{
    CResourceLocations::SetInstance(hInst);
}
HINSTANCE CManagerUI::GetInstance()
{
    return CResourceLocations::GetInstance();
}
CUIString CManagerUI::GetInstancePath()
{
    return CResourceLocations::GetInstancePath();
}
void CManagerUI::SetResourcePath(LPCWSTR pStrPath)
{
    CResourceLocations::SetResourcePath(pStrPath);
}
const CUIString& CManagerUI::GetResourcePath()
{
    return CResourceLocations::GetResourcePath();
}

void CManagerUI::SetResourceZip(LPCWSTR pStrZip, bool bCachedResourceZip)
{
    CResourceLocations::SetResourceZip(pStrZip, bCachedResourceZip);
}

const CUIString& CManagerUI::GetResourceZip()
{
    return CResourceLocations::GetResourceZip();
}
bool CManagerUI::IsResourceZipCached()
{
    return CResourceLocations::IsResourceZipCached();
}
HINSTANCE CManagerUI::GetResourceModule()
{
    return CResourceLocations::GetResourceModule();
}
