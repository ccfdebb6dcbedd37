#include "history_text.h"

#include <cstring>

CString JoinHistory(const std::vector<CString>& items)
{
    CString joined;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i)
            joined += '|';
        const CString& item = items[i];
        for (int c = 0; c < item.GetLength(); ++c) {
            const char ch = item[c];
            if (ch == '|' || ch == '\\')
                joined += '\\';
            joined += ch;
        }
    }
    return joined;
}

std::vector<CString> SplitHistory(const CString& stored, int maxItems)
{
    std::vector<CString> items;
    CString piece;
    auto finish = [&] {
        if (!piece.IsEmpty() && static_cast<int>(items.size()) < maxItems)
            items.push_back(piece);
        piece.Empty();
    };
    const int n = stored.GetLength();
    for (int i = 0; i < n; ++i) {
        const char ch = stored[i];
        if (ch == '\\' && i + 1 < n && (stored[i + 1] == '|' || stored[i + 1] == '\\')) {
            piece += stored[++i];
        } else if (ch == '|') {
            finish();
        } else {
            piece += ch;
        }
    }
    finish();
    return items;
}

CString HistoryValueText(const unsigned char* data, size_t size)
{
    if (!data)
        return CString();
    const void* end = std::memchr(data, 0, size);
    const size_t length = end ? static_cast<size_t>(static_cast<const unsigned char*>(end) - data) : size;
    return CString(reinterpret_cast<const char*>(data), static_cast<int>(length));
}
