#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control_test_support.h"
#include "ui/controls/List.h"
#include "ui/controls/ListItems.h"
#include "ui/builder/LayoutBuilder.h"

// A list of label rows "row 0", "row 1", ... attached to a window-less
// manager, rows 20 pixels high, laid out at 0,0 - width x height with its
// empty header hidden, so that the body fills the list.
class CListFixture
{
public:
    explicit CListFixture(int rows, int width = 200, int height = 100) : list(new CListUI)
    {
        list->GetListInfo()->itemHeight = 20;
        list->GetHeader()->SetVisible(false);
        for (int i = 0; i < rows; ++i)
            AddRow();
        manager.AttachRoot(list);
        manager.AddNotifier(&notes);
        list->SetPos(CUIRect(0, 0, width, height));
    }

    CListLabelElementUI* AddRow()
    {
        CListLabelElementUI* row = new CListLabelElementUI;
        row->SetText((L"row " + std::to_wstring(list->GetCount())).c_str());
        list->Add(row);
        return row;
    }

    IListItemUI* Row(int index) const { return AsListItem(list->GetItemAt(index)); }
    void LayOut() { list->SetPos(list->GetPos()); }

    // The notifications of one type, as "wParam/lParam".
    std::vector<std::string> Notes(const wchar_t* type) const
    {
        std::vector<std::string> found;
        for (const CNotifyRecorder::TRecord& record : notes.records)
        {
            if (record.type == type)
                found.push_back(std::to_string(static_cast<long long>(record.wParam)) + "/" +
                                std::to_string(static_cast<long long>(record.lParam)));
        }
        return found;
    }

    CManagerUI manager;
    CListUI* list;  // owned by the manager
    CNotifyRecorder notes;
};
