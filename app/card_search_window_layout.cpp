// Construction of TFrm_CardSearch: every control at its place, with its
// name, caption, font and starting state. Geometry is in pixels at 96 dpi,
// relative to the control's container.
#include <QAction>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QCoreApplication>
#include <QAbstractButton>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionGroupBox>
#include <QTableView>
#include <QToolButton>
#include <array>

#include "TIPEdit.h"
#include "card_list_model.h"
#include "card_search_window.h"
#include "gradient_label.h"

namespace kestrum {

const char* const kSourceTextProperty = "kestrumSourceText";

QStringList WindowsFaces() {
  return {QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"), QStringLiteral("Arial")};
}

QStringList ArialMetricFaces() {
  return {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
          QStringLiteral("Nimbus Sans"), QStringLiteral("Arial")};
}

namespace {

// Maps every face of WindowsFaces() to ArialMetricFaces(), so that texts fit
// their fixed-size controls as they do on Windows. Has no effect where the
// faces exist.
void InstallFontSubstitutes() {
  // Without an entry of its own, "Arial" would follow fontconfig's aliases,
  // which end in DejaVu Sans when no Arial-metric face is installed.
  for (const QString& face : WindowsFaces()) {
    QStringList substitutes = ArialMetricFaces();
    substitutes.removeAll(face);
    QFont::insertSubstitutions(face, substitutes);
  }
}

// The look of the window's group boxes: a one-pixel etched frame that runs
// through the middle of the caption, as Windows draws it. The places of
// the controls inside a box assume that frame; Qt's own styles put the
// frame below the caption, across the top controls.
class GroupBoxStyle final : public QProxyStyle {
 public:
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                       const QWidget* widget) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget) const override;
};

// The caption starts this far from the box's left edge.
constexpr int kCaptionLeft = 8;
// Space either side of the caption's text, where the frame line breaks.
constexpr int kCaptionPadding = 2;

int CaptionHeight(const QStyleOption& option) { return option.fontMetrics.height(); }

QRect CaptionRect(const QStyleOptionGroupBox& box) {
  const int width = box.fontMetrics.horizontalAdvance(box.text) + 2 * kCaptionPadding;
  return {box.rect.left() + kCaptionLeft, box.rect.top(), width, CaptionHeight(box)};
}

QRect FrameRect(const QStyleOption& option) { return option.rect.adjusted(0, CaptionHeight(option) / 2, 0, 0); }

QRect GroupBoxStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                                    const QWidget* widget) const {
  const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
  if (control != CC_GroupBox || box == nullptr) {
    return QProxyStyle::subControlRect(control, option, subControl, widget);
  }
  switch (subControl) {
    case SC_GroupBoxFrame:
      return FrameRect(*box);
    case SC_GroupBoxLabel:
      return CaptionRect(*box);
    case SC_GroupBoxContents:
      return FrameRect(*box).adjusted(2, CaptionHeight(*box) / 2, -2, -2);
    default:
      return QProxyStyle::subControlRect(control, option, subControl, widget);
  }
}

void GroupBoxStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                       const QWidget* widget) const {
  const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
  if (control != CC_GroupBox || box == nullptr) {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    return;
  }
  const QRect caption = CaptionRect(*box);
  painter->save();
  // Etched frame: a shadow line with a light line inside it, broken where
  // the caption stands.
  painter->setClipRegion(QRegion(box->rect).subtracted(caption));
  const QRect frame = FrameRect(*box);
  painter->setPen(box->palette.color(QPalette::Light));
  painter->drawRect(frame.adjusted(1, 1, -1, -1));
  painter->setPen(box->palette.color(QPalette::Mid));
  painter->drawRect(frame.adjusted(0, 0, -2, -2));
  painter->restore();
  drawItemText(painter, caption.adjusted(kCaptionPadding, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, box->palette,
               box->state.testFlag(State_Enabled), box->text, QPalette::WindowText);
}

// The image of the search button, drawn rather than shipped as a file: a
// 16 x 16 dark blue magnifying glass on a transparent ground.
QIcon MagnifyingGlassIcon() {
  static constexpr int kSide = 16;
  const QColor darkBlue(0x22, 0x4A, 0x7D);
  QPixmap image(kSide, kSide);
  image.fill(Qt::transparent);

  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  // The lens: a ring in the upper left.
  painter.setPen(QPen(darkBlue, 2.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(QRectF(1.5, 1.5, 9.0, 9.0));
  // The handle: a thick stroke to the lower right corner.
  painter.setPen(QPen(darkBlue, 3.0, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(10.0, 10.0), QPointF(14.0, 14.0));
  painter.end();
  return QIcon(image);
}

QFont PixelFont(const QString& family, int pixelSize) {
  QFont font(family);
  font.setPixelSize(pixelSize);
  return font;
}

// The longest texts of a valid port or heartbeat without leading zeros,
// "-2147483648" and "+0xFFFFFFFF", are 11 characters; the rest is room for
// leading spaces or zeros. A plain edit would take 32,767 characters.
constexpr int kIntegerEditLength = 32;

// The window's own face; the one-line edits use it too.
QFont WindowFont() { return PixelFont(QStringLiteral("MS Sans Serif"), 11); }
// Group boxes, their labels and the card list.
QFont PanelFont() { return PixelFont(QStringLiteral("Arial"), 11); }

template <typename Control>
Control* Named(Control* control, const char* name) {
  control->setObjectName(QString::fromLatin1(name));
  return control;
}

// Remembers the untranslated text of a control, from which
// TFrm_CardSearch::RetranslateTexts sets its text in the current language.
template <typename Control>
Control* WithSourceText(Control* control, const char* source) {
  control->setProperty(kSourceTextProperty, QByteArray(source));
  return control;
}

// Fixed size, text on one line from the top-left, cut off where it ends.
QLabel* AddLabel(QWidget* container, const char* name, const QRect& place, const char* source = nullptr) {
  auto* label = Named(new QLabel(container), name);
  if (source != nullptr) WithSourceText(label, source);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(false);
  label->setFixedSize(place.size());
  label->move(place.topLeft());
  return label;
}

QGroupBox* AddGroup(QWidget* container, const char* name, const QRect& place, const char* caption, QStyle* style) {
  auto* group = WithSourceText(Named(new QGroupBox(container), name), caption);
  group->setFont(PanelFont());
  group->setStyle(style);
  group->setGeometry(place);
  return group;
}

TIPEdit* AddAddressEdit(QWidget* container, const char* name, const QRect& place, const QString& address) {
  auto* edit = Named(new TIPEdit(container), name);
  // The control's own 9 pt bold, in the window's face.
  QFont font = edit->font();
  font.setFamily(QStringLiteral("MS Sans Serif"));
  edit->setFont(font);
  edit->setGeometry(place);
  edit->SetIPString(address);
  return edit;
}

QLineEdit* AddLineEdit(QWidget* container, const char* name, const QRect& place, const QString& text = QString()) {
  auto* edit = Named(new QLineEdit(text, container), name);
  edit->setFont(WindowFont());
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  edit->setPalette(palette);
  edit->setGeometry(place);
  return edit;
}

}  // namespace

TFrm_CardSearch::TFrm_CardSearch(const CardProtocol& protocol, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      protocol_(protocol),
      model_(new CardListModel(this)) {
  InstallFontSubstitutes();
  setObjectName(QStringLiteral("Frm_CardSearch"));
  setWindowTitle(QStringLiteral("Card Seeking"));
  setFont(WindowFont());
  setFixedSize(kClientSize);
  CreateControls();
  RetranslateTexts();
  SetTabOrder();
  CentreOnScreen();
}

void TFrm_CardSearch::CreateControls() {
  sPanel1 = Named(new QFrame(this), "sPanel1");
  sPanel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  sPanel1->setLineWidth(1);
  sPanel1->setGeometry(0, 0, kClientSize.width(), kClientSize.height());

  btnControlSearch = Named(new QToolButton(sPanel1), "btnControlSearch");
  btnControlSearch->setGeometry(2, 3, 33, 31);
  btnControlSearch->setAutoRaise(true);
  btnControlSearch->setIcon(MagnifyingGlassIcon());
  btnControlSearch->setIconSize(QSize(16, 16));
  btnControlSearch->setFocusPolicy(Qt::NoFocus);
  connect(btnControlSearch, &QToolButton::clicked, this, &TFrm_CardSearch::btnControlSearchClick);

  // Created in tab order: the list, then the editable network group, then
  // the two groups that hold nothing focusable.
  rzlistview1 = Named(new QTableView(sPanel1), "rzlistview1");
  rzlistview1->setGeometry(0, 34, 538, 364);
  ConfigureList();
  // One style for the three group boxes, owned by the window.
  auto* const groupBoxStyle = new GroupBoxStyle;
  groupBoxStyle->setParent(this);
  CreateNetworkGroup(groupBoxStyle);
  CreateDriveGroup(groupBoxStyle);
  CreateScreenGroup(groupBoxStyle);

  idsres = Named(new GradientLabel(sPanel1), "idsres");
  idsres->setGeometry(2, 407, 199, 15);
  idsres->setFont(PixelFont(QStringLiteral("Tahoma"), 13));
}

void TFrm_CardSearch::ConfigureList() {
  rzlistview1->setModel(model_);
  rzlistview1->setFont(PanelFont());
  QPalette palette = rzlistview1->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  rzlistview1->setPalette(palette);
  rzlistview1->setShowGrid(true);
  rzlistview1->setSelectionBehavior(QAbstractItemView::SelectRows);
  rzlistview1->setSelectionMode(QAbstractItemView::ExtendedSelection);  // Ctrl/Shift click for a plan
  rzlistview1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  rzlistview1->setTabKeyNavigation(false);  // Tab leaves the list for the panel
  rzlistview1->setWordWrap(false);
  rzlistview1->setSortingEnabled(false);  // the window sorts by its own comparison
  rzlistview1->verticalHeader()->hide();
  rzlistview1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  rzlistview1->verticalHeader()->setDefaultSectionSize(rzlistview1->fontMetrics().height() + 4);

  QHeaderView* headings = rzlistview1->horizontalHeader();
  headings->setSectionsClickable(true);
  headings->setSortIndicatorShown(false);
  headings->setHighlightSections(false);
  headings->setStretchLastSection(false);
  headings->setMinimumSectionSize(8);
  headings->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  static constexpr std::array<int, kColumnCount> kWidths{30, 50, 100, 100, 100, 120};
  for (int column = 0; column < kColumnCount; ++column) {
    const bool fixedWidth = column == kColumnNumber || column == kColumnMac;
    headings->setSectionResizeMode(column, fixedWidth ? QHeaderView::Fixed : QHeaderView::Interactive);
    headings->resizeSection(column, kWidths.at(static_cast<std::size_t>(column)));
  }
  connect(headings, &QHeaderView::sectionClicked, this, &TFrm_CardSearch::rzlistview1ColumnClick);
  connect(rzlistview1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TFrm_CardSearch::RzListView1SelectItem);
  // Clearing the list for a search drops the selection without a
  // selection signal.
  connect(model_, &QAbstractItemModel::modelReset, this, &TFrm_CardSearch::RzListView1SelectItem);
  AddListActions();
}

void TFrm_CardSearch::AddListActions() {
  rzlistview1->setContextMenuPolicy(Qt::ActionsContextMenu);
  const auto add = [this](const char* name, const char* text, const std::function<void()>& handler) {
    auto* const action = WithSourceText(Named(new QAction(rzlistview1), name), text);
    connect(action, &QAction::triggered, this, handler);
    rzlistview1->addAction(action);
    return action;
  };
  QAction* const copyRow = add("copyRow", QT_TR_NOOP("复制此行"), [this] { CopySelectedRow(); });
  copyRow->setShortcut(QKeySequence::Copy);
  copyRow->setShortcutContext(Qt::WidgetShortcut);
  add("copyIp", QT_TR_NOOP("复制IP"), [this] { CopySelectedColumn(kColumnIp); });
  add("copyMac", QT_TR_NOOP("复制Mac地址"), [this] { CopySelectedColumn(kColumnMac); });
  auto* const separator = new QAction(rzlistview1);
  separator->setSeparator(true);
  rzlistview1->addAction(separator);
  add("exportList", QT_TR_NOOP("导出…"), [this] { ExportList(); });
  QAction* const changeSelected = add("changeSelected", QT_TR_NOOP("批量修改所选…"), [this] { ChangeSelectedCards(); });
  changeSelected->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
  changeSelected->setShortcutContext(Qt::WidgetShortcut);
  add("restoreLast", QT_TR_NOOP("恢复到上次修改前…"), [this] { RestoreSelectedCard(); });
  add("openHistoryFolder", QT_TR_NOOP("打开修改记录文件夹"), [this] { OpenHistoryFolder(); });
  AddLanguageMenu();
}

void TFrm_CardSearch::CreateNetworkGroup(QStyle* groupBoxStyle) {
  grpControlInfo =
      AddGroup(sPanel1, "grpControlInfo", QRect(710, 34, 208, 256), QT_TR_NOOP("网络参数"), groupBoxStyle);
  addressCaption_ = WithSourceText(Named(new QLabel(grpControlInfo), "IDSControlip"), QT_TR_NOOP("IP地址:"));
  addressCaption_->move(9, 24);
  AddLabel(grpControlInfo, "IDSControlMask", QRect(9, 57, 66, 13), QT_TR_NOOP("子网掩码:"));
  AddLabel(grpControlInfo, "IDSControlGateWay", QRect(9, 90, 68, 13), QT_TR_NOOP("网关:"));
  AddLabel(grpControlInfo, "IDSControlMac", QRect(9, 123, 58, 13), QT_TR_NOOP("Mac:"));
  AddLabel(grpControlInfo, "lblremoteip", QRect(9, 154, 68, 13), QT_TR_NOOP("服务器IP:"));
  AddLabel(grpControlInfo, "lblremote_port", QRect(10, 184, 76, 13), QT_TR_NOOP("服务器端口:"));
  AddLabel(grpControlInfo, "Label1", QRect(10, 209, 76, 13), QT_TR_NOOP("心跳:"));

  // Inputs in tab order: the gateway before the mask that stands above it.
  ipdt_ip = AddAddressEdit(grpControlInfo, "ipdt_ip", QRect(89, 18, 118, 21), QStringLiteral("192.168.1.100"));
  ipdt_gateway = AddAddressEdit(grpControlInfo, "ipdt_gateway", QRect(89, 87, 118, 21), QStringLiteral("192.168.1.1"));
  ipdt_mask = AddAddressEdit(grpControlInfo, "ipdt_mask", QRect(89, 53, 118, 21), QStringLiteral("255.255.255.0"));
  btnModify = WithSourceText(Named(new QPushButton(grpControlInfo), "btnModify"), QT_TR_NOOP("修改"));
  btnModify->setGeometry(130, 227, 75, 25);
  btnModify->setEnabled(false);
  connect(btnModify, &QPushButton::clicked, this, &TFrm_CardSearch::ModifyClickedReportingErrors);
  ControlMac = AddLineEdit(grpControlInfo, "ControlMac", QRect(89, 120, 118, 21), QStringLiteral("66:66:66:66:66:66"));
  ControlMac->setEnabled(false);
  ip_remote = AddAddressEdit(grpControlInfo, "ip_remote", QRect(89, 151, 118, 21), QStringLiteral("192.168.1.1"));
  edtremoteport = AddLineEdit(grpControlInfo, "edtremoteport", QRect(89, 180, 118, 21));
  edtremoteport->setMaxLength(kIntegerEditLength);
  edt_heart = AddLineEdit(grpControlInfo, "edt_heart", QRect(89, 204, 118, 21));
  edt_heart->setMaxLength(kIntegerEditLength);
}

void TFrm_CardSearch::CreateDriveGroup(QStyle* groupBoxStyle) {
  grpHardPara = AddGroup(sPanel1, "grpHardPara", QRect(544, 296, 160, 102), QT_TR_NOOP("驱动属性"), groupBoxStyle);
  AddLabel(grpHardPara, "IDSScanStyle", QRect(9, 25, 74, 13), QT_TR_NOOP("走线:"));
  IDSControlScanStyle = AddLabel(grpHardPara, "IDSControlScanStyle", QRect(71, 25, 89, 14));
  AddLabel(grpHardPara, "IDSLineOrder", QRect(10, 48, 58, 13), QT_TR_NOOP("行序:"));
  IDSControlLineOrder = AddLabel(grpHardPara, "IDSControlLineOrder", QRect(71, 48, 89, 13));
  AddLabel(grpHardPara, "IDSRGChange", QRect(9, 71, 79, 13), QT_TR_NOOP("红绿:"));
  IDSControlRGChange = AddLabel(grpHardPara, "IDSControlRGChange", QRect(71, 71, 89, 13));
}

void TFrm_CardSearch::CreateScreenGroup(QStyle* groupBoxStyle) {
  grpscreenpara =
      AddGroup(sPanel1, "grpscreenpara", QRect(546, 34, 160, 256), QT_TR_NOOP("屏幕属性"), groupBoxStyle);
  AddLabel(grpscreenpara, "IDSStyle", QRect(9, 24, 57, 13), QT_TR_NOOP("系列:"));
  IDSControlType = AddLabel(grpscreenpara, "IDSControlType", QRect(76, 24, 85, 13));
  AddLabel(grpscreenpara, "IDSVersion", QRect(8, 48, 64, 13), QT_TR_NOOP("版本号:"));
  IDSControlVersion = AddLabel(grpscreenpara, "IDSControlVersion", QRect(76, 48, 90, 13));
  AddLabel(grpscreenpara, "IDSPNo", QRect(8, 72, 48, 13), QT_TR_NOOP("屏号:"));
  IDSControlPNO = AddLabel(grpscreenpara, "IDSControlPNO", QRect(76, 72, 90, 13));
  AddLabel(grpscreenpara, "IDSBaudRate", QRect(8, 96, 66, 13), QT_TR_NOOP("波特率:"));
  IDSControlBaud = AddLabel(grpscreenpara, "IDSControlBaud", QRect(76, 96, 90, 14));
  AddLabel(grpscreenpara, "IDSWidth", QRect(8, 119, 64, 13), QT_TR_NOOP("宽度:"));
  IDSControlWidth = AddLabel(grpscreenpara, "IDSControlWidth", QRect(76, 119, 90, 13));
  AddLabel(grpscreenpara, "IDSHeight", QRect(8, 143, 81, 13), QT_TR_NOOP("高度:"));
  IDSControlHeight = AddLabel(grpscreenpara, "IDSControlHeight", QRect(76, 143, 90, 13));
  AddLabel(grpscreenpara, "IDSColorStyle", QRect(8, 165, 86, 13), QT_TR_NOOP("颜色:"));
  IDSControlDBColor = AddLabel(grpscreenpara, "IDSControlDBColor", QRect(76, 165, 90, 13));
}

void TFrm_CardSearch::AddLanguageMenu() {
  // Written in both languages, so that whoever cannot read one finds it.
  auto* const languages = Named(new QAction(QStringLiteral("Language / 语言"), rzlistview1), "languageMenu");
  auto* const menu = new QMenu(this);
  const auto choice = [&](const char* name, const QString& text, Language language) {
    QAction* const action = Named(menu->addAction(text), name);
    connect(action, &QAction::triggered, this, [this, language] { ChooseLanguage(language); });
  };
  choice("chinese", QStringLiteral("中文"), Language::kChinese);
  choice("english", QStringLiteral("English"), Language::kEnglish);
  languages->setMenu(menu);
  rzlistview1->addAction(languages);
}

void TFrm_CardSearch::RetranslateTexts() {
  const auto translated = [](const QObject* control) {
    return QCoreApplication::translate(staticMetaObject.className(),
                                       control->property(kSourceTextProperty).toByteArray().constData());
  };
  for (QObject* control : findChildren<QObject*>()) {
    if (!control->property(kSourceTextProperty).isValid()) continue;
    if (auto* label = qobject_cast<QLabel*>(control)) label->setText(translated(control));
    if (auto* group = qobject_cast<QGroupBox*>(control)) group->setTitle(translated(control));
    if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setText(translated(control));
    if (auto* action = qobject_cast<QAction*>(control)) action->setText(translated(control));
  }
  addressCaption_->adjustSize();  // the one label that sizes itself to its text
  model_->headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
  if (status_) idsres->SetCaption(status_());
  NameControlsForScreenReaders();
}

void TFrm_CardSearch::NameControlsForScreenReaders() {
  btnControlSearch->setAccessibleName(tr("搜索"));
  const std::array<std::pair<TIPEdit*, QString>, 4> addressEdits{{{ipdt_ip, tr("IP地址")},
                                                                  {ipdt_mask, tr("子网掩码")},
                                                                  {ipdt_gateway, tr("网关")},
                                                                  {ip_remote, tr("服务器IP")}}};
  for (const auto& [edit, name] : addressEdits) {
    edit->setAccessibleName(name);
    for (int field = 0; field < TIPEdit::kFieldCount; ++field)
      edit->Field(field)->setAccessibleName(tr("%1 第%2段").arg(name).arg(field + 1));
  }
  ControlMac->setAccessibleName(tr("Mac地址"));
  edtremoteport->setAccessibleName(tr("服务器端口"));
  edt_heart->setAccessibleName(tr("心跳"));
  rzlistview1->setAccessibleName(tr("控制卡列表"));
}

void TFrm_CardSearch::SetTabOrder() {
  const std::array<QWidget*, 8> chain{rzlistview1, ipdt_ip,   ipdt_gateway,  ipdt_mask,
                                      btnModify,   ip_remote, edtremoteport, edt_heart};
  for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
}

void TFrm_CardSearch::CentreOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  move(screen->availableGeometry().center() - rect().center());
}

}  // namespace kestrum
