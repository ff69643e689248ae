// A style plugin that the end-to-end test loads into the real Kestrum.exe
// with Qt's own "-style kestrumprobe" option. It looks as the platform's
// default style does, and writes what the window shows, every 200 ms, to the
// file named by KESTRUM_WINDOW_PROBE: the list's rows, the status text, the
// panel's fields, where the buttons and rows are, and any message box. The
// test drives the window with real X input and reads this file, so what it
// checks is what the operator sees, taken from the widgets themselves.
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMessageBox>
#include <QProxyStyle>
#include <QAbstractButton>
#include <QSaveFile>
#include <QStyleFactory>
#include <QStylePlugin>
#include <QTableView>
#include <QTimer>

namespace {

// In screen coordinates, where the test's X input lands.
QJsonArray Centre(const QWidget* widget, QRect rect) {
  const QPoint centre = widget->mapToGlobal(rect.center());
  return {centre.x(), centre.y()};
}

QJsonArray Rows(const QTableView* list) {
  QJsonArray rows;
  const QAbstractItemModel* model = list->model();
  for (int row = 0; row < model->rowCount(); ++row) {
    QJsonArray cells;
    for (int column = 0; column < model->columnCount(); ++column) {
      cells.append(model->index(row, column).data().toString());
    }
    const QRect place = list->visualRect(model->index(row, 2));
    rows.append(QJsonObject{{"cells", cells}, {"centre", Centre(list->viewport(), place)}});
  }
  return rows;
}

// The panel's fields: the address edits by their text property, the line
// edits by theirs.
QJsonObject Panel(const QWidget* window) {
  QJsonObject panel;
  for (const char* name : {"ipdt_ip", "ipdt_mask", "ipdt_gateway", "ip_remote"}) {
    if (const auto* edit = window->findChild<QWidget*>(name)) {
      panel[name] = edit->property("ipString").toString();
      panel[QStringLiteral("%1Centre").arg(name)] = Centre(edit, edit->rect());
    }
  }
  for (const char* name : {"ControlMac", "edtremoteport", "edt_heart"}) {
    if (const auto* edit = window->findChild<QLineEdit*>(name)) panel[name] = edit->text();
  }
  return panel;
}

QJsonObject Buttons(const QWidget* window) {
  QJsonObject buttons;
  for (const auto* button : window->findChildren<QAbstractButton*>()) {
    if (!button->objectName().isEmpty()) {
      buttons[button->objectName()] = QJsonObject{{"centre", Centre(button, button->rect())},
                                                 {"enabled", button->isEnabled()}};
    }
  }
  return buttons;
}

QJsonArray MessageBoxes() {
  QJsonArray boxes;
  for (const QWidget* widget : QApplication::topLevelWidgets()) {
    if (const auto* box = qobject_cast<const QMessageBox*>(widget); box && box->isVisible()) {
      boxes.append(QJsonObject{{"title", box->windowTitle()}, {"text", box->text()}});
    }
  }
  return boxes;
}

QJsonObject Snapshot() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    const auto* list = window->findChild<QTableView*>("rzlistview1");
    if (list == nullptr || !window->isVisible()) continue;
    const QWidget* status = window->findChild<QWidget*>("idsres");
    return {{"title", window->windowTitle()},
            {"rows", Rows(list)},
            {"selectedRow", list->currentIndex().row()},
            {"status", status != nullptr ? status->property("caption").toString() : QString()},
            {"panel", Panel(window)},
            {"buttons", Buttons(window)},
            {"messageBoxes", MessageBoxes()}};
  }
  return {{"messageBoxes", MessageBoxes()}};
}

void WriteSnapshot(const QString& path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return;
  file.write(QJsonDocument(Snapshot()).toJson());
  file.commit();
}

class ProbeStyle final : public QProxyStyle {
 public:
  ProbeStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("windowsvista"))) {
    const QString path = qEnvironmentVariable("KESTRUM_WINDOW_PROBE");
    if (path.isEmpty()) return;
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, qApp, [path] { WriteSnapshot(path); });
    timer->start(200);
  }
};

}  // namespace

class ProbeStylePlugin final : public QStylePlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QStyleFactoryInterface_iid FILE "window_probe_style.json")

 public:
  QStyle* create(const QString& key) override {
    return key.compare(QLatin1String("kestrumprobe"), Qt::CaseInsensitive) == 0 ? new ProbeStyle : nullptr;
  }
};

#include "window_probe_plugin.moc"
