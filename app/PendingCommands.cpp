// Commands whose work is not built yet. Each one does nothing; its body moves to its own folder
// when the command is built, and its stub here goes.

#include "app/MainForm.h"

void TForm1::AppendFiles() {}  // the load after the open dialog of "打开" / "追加数据"

void TForm1::N24Click(QObject*) {}  // "浏览加载的数据文件"

void TForm1::N33Click(QObject*) {}  // "文件操作说明"

void TForm1::N29Click(QObject*) {}  // "全部文件重新加载"

void TForm1::OUTMTD1Click(QObject*) {}  // "输出数据" / "输出处理结果"

void TForm1::N6Click(QObject*) {}  // "保存点位数据"

void TForm1::N31Click(QObject*) {}  // "输出剖面响应"

void TForm1::SelectProfileStations(double, double, double, double) {}  // rectangle on the map

void TForm1::ShowExProfileChart() {}  // the profile chart of the rectangle

void TForm1::N8Click(QObject*) {}  // "数据浏览" / "单点数据浏览"

void TForm1::N13Click(QObject*) {}  // "近区和过渡区校正" / "过渡区校正"

void TForm1::SEC1Click(QObject*) {}  // "显示静态效应" / "静态效应"

void TForm1::N17Click(QObject*) {}  // "编辑数据"

void TForm1::N19Click(QObject*) {}  // "编辑点位"

void TForm1::N15Click(QObject*) {}  // "修改发射源位置(V8可选;GDP32必须)"

void TForm1::N28Click(QObject*) {}  // "坐标旋转(斜测线变为水平测线)"
