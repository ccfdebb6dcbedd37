// Reads the tips file one tip at a time. A tip is a line that does not begin
// with a blank, a tab, a line end or ";"; lines are read up to 1000
// characters. At the end of the file reading starts again at the top, once:
// a file without any tip gives an empty tip instead of reading for ever.
#pragma once

#include <cstdio>
#include <string>

class CTipReader {
public:
    enum Result { kTip, kNoTip, kSeekFailed };
    explicit CTipReader(FILE* file) : m_pFile(file) {}

    Result Next(std::string* tip)
    {
        tip->clear();
        if (!m_pFile)
            return kNoTip;
        char line[1001];
        for (int pass = 0; pass < 2; ++pass) {
            while (fgets(line, sizeof line, m_pFile)) {
                const char c = line[0];
                if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ';' || c == 0)
                    continue;
                *tip = line;
                return kTip;
            }
            if (fseek(m_pFile, 0, SEEK_SET) != 0)
                return kSeekFailed;
        }
        return kNoTip;
    }

private:
    FILE* m_pFile;
};
