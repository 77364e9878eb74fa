#include "export/StnWriter.h"

#include "base/NumberFormat.h"
#include "base/SafeFile.h"

void WriteStnFile(const SurveyStore& store, const std::string& fileName)
{
    SafeFile text(fileName);
    text += " STN     X    Y    Z\r\n";
    for (const TStation& s : store.ExStations) {
        text += s.Name;
        for (float v : {s.Info.X, s.Info.Y, s.Info.Z}) {
            text += ' ';
            text += FormatFloat("#######.0", v);
        }
        text += "\r\n";
    }
    text.Commit();
}
