// The address book's comma-delimited export file.
#include "addrbook/address_book.h"

#include <cstdio>
#include <exception>

const char* const CDF_OE_AddressBook::kHeaderNames[AddressEntry::FIELD_COUNT] = {
    "Name",           "E-mail Address",    "Home Street",       "Business Phone",       "Home Phone",
    "Home Postal Code", "Company",         "Job Title",         "Department",           "Home Phone",
    "Business Phone", "Mobile Phone",      "Pager",             "Home Fax",             "Business Fax",
    "Home Fax",       "Business Country",  "Business City",     "Business State",       "Business Street",
    "Business Postal Code", "Personal Web Page", "Business Web Page", "Home Street",     "Home City",
    "Home State",     "Home Country"};

namespace {

// One line without its line end. Lines longer than the limit keep their first
// part; the rest is skipped, never read as a line of its own. False at the end
// of the file.
bool ReadLine(std::FILE* file, std::string& line, size_t limit)
{
    line.clear();
    int c = std::fgetc(file);
    if (c == EOF)
        return false;
    while (c != EOF && c != '\n') {
        if (line.size() < limit)
            line.push_back(static_cast<char>(c));
        c = std::fgetc(file);
    }
    while (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

// The columns of a line, split at "," as a tokenizer splits: a run of commas
// separates once and empty tokens do not count. Quotes are not interpreted.
std::vector<std::string> Tokens(const std::string& line)
{
    std::vector<std::string> tokens;
    size_t pos = 0;
    while (pos < line.size()) {
        size_t start = line.find_first_not_of(',', pos);
        if (start == std::string::npos)
            break;
        size_t end = line.find(',', start);
        if (end == std::string::npos)
            end = line.size();
        tokens.push_back(line.substr(start, end - start));
        pos = end;
    }
    return tokens;
}

} // namespace

bool CDF_OE_AddressBook::Load(CString& path)
{
    m_strError.Empty();
    std::FILE* file = path.IsEmpty() ? nullptr : std::fopen(path, "rb");
    if (!file) {
        m_strError = "Cannot open the address book file " + path + ".\r\n";
        return false;
    }
    bool ok = false;
    try {
        std::string line;
        if (ReadLine(file, line, LINE_LIMIT) && InitHeaderLine(line)) {
            while (ReadLine(file, line, LINE_LIMIT))
                HandleOneLine(line);
            ok = true;
        } else if (m_strError.IsEmpty()) {
            m_strError = "The address book file " + path + " has no header line.\r\n";
        }
    } catch (const std::exception&) {
        m_strError = "Error reading the address book file " + path + ".\r\n";
        ok = false;
    }
    std::fclose(file);
    return ok;
}

bool CDF_OE_AddressBook::InitHeaderLine(const std::string& line)
{
    for (int& column : m_Columns)
        column = -1;
    std::vector<std::string> tokens = Tokens(line);
    for (size_t c = 0; c < tokens.size(); ++c) {
        for (int k = 0; k < AddressEntry::FIELD_COUNT; ++k) {
            if (CString(tokens[c].c_str()).CompareNoCase(kHeaderNames[k]) != 0)
                continue;
            if (c >= MAX_COLUMNS) {
                m_strError = "Error reading Comma-Delimited Outlook Express Address Boox file.\r\n"
                             "CDF too many columns\r\n";
                return false;
            }
            m_Columns[c] = k;
            break;
        }
    }
    return !tokens.empty();
}

void CDF_OE_AddressBook::HandleOneLine(const std::string& text)
{
    if (text.find_first_not_of(" \t") == std::string::npos)
        return;
    // Empty columns keep their place as " ".
    std::string line = text;
    if (!line.empty() && line[0] == ',')
        line.insert(0, " ");
    for (size_t at = line.find(",,"); at != std::string::npos; at = line.find(",,", at))
        line.insert(at + 1, " ");
    AddressEntry entry;
    std::vector<std::string> tokens = Tokens(line);
    for (size_t c = 0; c < tokens.size() && c < MAX_COLUMNS; ++c) {
        if (m_Columns[c] >= 0)
            entry.m_Fields[m_Columns[c]] = tokens[c].c_str();
    }
    entry.m_Fields[AddressEntry::BUS_PHONE_AGAIN] = entry.m_Fields[AddressEntry::HOME_PHONE];
    entry.m_Fields[AddressEntry::HOME_FAX] = entry.m_Fields[AddressEntry::PRIMARY_FAX];
    Add(entry);
}
