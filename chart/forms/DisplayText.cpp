#include "chart/forms/DisplayText.h"

#include "base/Gbk.h"

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QString Text(const std::string& utf8)
{
    return QString::fromUtf8(utf8.c_str(), static_cast<qsizetype>(utf8.size()));
}

QString DisplayText(const std::string& bytes)
{
    return Text(DisplayTextUtf8(bytes));
}
