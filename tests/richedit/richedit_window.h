#pragma once

#include <windows.h>

#include "tests/support/RealInput.h"
#include "tests/support/ShownWindow.h"
#include "ui/controls/RichEdit.h"

// The shown window of the rich edit tests: the rich edit in its document is
// named "edit". Its pump pre-translates as the product's does (Tab moves the
// focus unless a rich edit claims it).
class CEditWindow : public CShownWindow
{
public:
    explicit CEditWindow(LPCWSTR xml, int width = 300, int height = 200)
        : CShownWindow(xml, width, height),
          edit(Find<CRichEditUI>(L"edit"))
    {
    }

    CRichEditUI* Edit() const { return edit; }
    // Puts the keyboard focus into the edit with a real click on its text.
    void ClickInto(int x, int y);
    // Notifications of the edit of the given type ("textchanged", "return").
    int Count(LPCWSTR type) const;

private:
    CRichEditUI* edit;
};
