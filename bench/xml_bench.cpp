// XML parse throughput on a large skin-like document (about 4 MiB, the largest
// skin document that is read):
//   utf8     LoadFromMemory of the UTF-8 bytes: conversion plus parse
//   wide     LoadFromString of the already converted text: copy plus parse
//   walk     locating every element's attributes after a load
// Figures are MB/s of UTF-8 input (1 MB = 1e6 bytes); best and median of runs.
//
// Run by hand: $BUILD_DIR/wine-run bench/xml_bench.exe

#include "ui/markup/XmlMarkup.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

const size_t kTargetBytes = 4000000;
const int kRuns = 15;

std::string SkinLikeDocument()
{
    std::string doc =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<Window size=\"800,600\" caption=\"0,0,0,32\" roundcorner=\"4,4\" sizebox=\"4,4,4,4\">\n"
        "  <Font name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" size=\"12\" default=\"true\"/>\n"
        "  <Image name=\"bg.png\" mask=\"#FFFF00FF\"/>\n"
        "  <Default name=\"Button\" value=\"normalimage=&quot;file='btn.png' source='0,0,80,24'&quot;\"/>\n"
        "  <VerticalLayout bkimage=\"bg.png\">\n";
    int n = 0;
    while (doc.size() < kTargetBytes)
    {
        std::string id = std::to_string(n++);
        doc += "    <!-- page " + id +
               " -->\n"
               "    <HorizontalLayout name=\"row" +
               id +
               "\" height=\"32\" padding=\"4,2,4,2\" bkcolor=\"#FFEEEEEE\">\n"
               "      <Label name=\"label" +
               id + "\" text=\"\xE5\xAE\x89\xE8\xA3\x85 &amp; setup " + id +
               "\" textcolor=\"#FF000000\" align=\"left\" endellipsis=\"true\"/>\n"
               "      <Edit name=\"edit" +
               id +
               "\" width=\"120\" text=\"C:\\Games\\Tessaly\" maxchar=\"260\"/>\n"
               "      <Button name=\"btn" +
               id +
               "\" text=\"&lt;Browse&gt;\" width=\"80\" "
               "hotimage=\"file='btn.png' source='0,24,80,48'\" pushedimage=\"file='btn.png' "
               "source='0,48,80,72'\"/>\n"
               "      <Option name=\"opt" +
               id + "\" group=\"g\" selected=\"false\">Text content " + id +
               "</Option>\n"
               "    </HorizontalLayout>\n";
    }
    doc += "  </VerticalLayout>\n</Window>\n";
    return doc;
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER freq)
{
    return double(b.QuadPart - a.QuadPart) / double(freq.QuadPart);
}

struct Figures
{
    double best;
    double median;
};

template <class F> Figures Measure(size_t bytes, F&& body)
{
    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);
    std::vector<double> rates;
    for (int i = 0; i < kRuns; ++i)
    {
        LARGE_INTEGER t0, t1;
        ::QueryPerformanceCounter(&t0);
        body();
        ::QueryPerformanceCounter(&t1);
        rates.push_back(double(bytes) / 1e6 / Seconds(t0, t1, freq));
    }
    std::sort(rates.begin(), rates.end());
    return {rates.back(), rates[rates.size() / 2]};
}

int CountAttributes(const CXmlNode& first)
{
    int count = 0;
    for (CXmlNode node = first; node.IsValid(); node = node.GetSibling())
    {
        count += node.GetAttributeCount();
        if (node.HasChildren())
            count += CountAttributes(node.GetChild());
    }
    return count;
}

}  // namespace

int wmain()
{
    const std::string doc = SkinLikeDocument();
    const BYTE* bytes = reinterpret_cast<const BYTE*>(doc.data());
    const DWORD size = static_cast<DWORD>(doc.size());

    std::wstring wide(doc.size(), L'\0');
    wide.resize(::MultiByteToWideChar(CP_UTF8, 0, doc.data() + 3, static_cast<int>(doc.size() - 3), &wide[0],
                                      static_cast<int>(wide.size())));

    CXmlMarkup markup;
    if (!markup.LoadFromMemory(bytes, size))
    {
        std::fwprintf(stderr, L"document does not load: %ls\n", markup.GetLastErrorMessage());
        return 1;
    }
    const int attributes = CountAttributes(markup.GetRoot());

    Figures utf8 = Measure(doc.size(), [&] { markup.LoadFromMemory(bytes, size); });
    Figures parse = Measure(doc.size(), [&] { markup.LoadFromString(wide.c_str()); });
    markup.LoadFromMemory(bytes, size);
    Figures walk = Measure(doc.size(), [&] { CountAttributes(markup.GetRoot()); });

    std::printf("document: %u bytes UTF-8, %d attributes\n", static_cast<unsigned>(size), attributes);
    std::printf("utf8   load  best %8.1f MB/s  median %8.1f MB/s\n", utf8.best, utf8.median);
    std::printf("wide   load  best %8.1f MB/s  median %8.1f MB/s\n", parse.best, parse.median);
    std::printf("attribute walk best %6.1f MB/s  median %8.1f MB/s\n", walk.best, walk.median);
    return 0;
}
