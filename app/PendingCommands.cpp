// Commands whose work is not built yet. Each one does nothing; its body moves to its own folder
// when the command is built, and its stub here goes.

#include "app/MainForm.h"

void TForm1::N25Click(QObject*) {}  // "输出反演模型" / "输出三维电阻率模型"
