// Qt backend: windows, panels, lists, simple gadgets, events, texts, pictures,
// message boxes and requesters.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <system_error>

#include "common/files.h"
#include "platform/png_image.h"
#include "qt/qt_test_util.h"

using qt_test::As;
using qt_test::Drain;
using qt_test::SameEvent;

namespace {

using QtWindow = qt_test::WindowTest;
using QtGadgets = qt_test::WindowTest;
using QtEvents = qt_test::WindowTest;

TEST_F(QtWindow, FixedSizeTitleAndCloseBoxThatOnlyReports) {
  QWidget* w = gui_qt::Widget(window_);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isWindow());
  EXPECT_EQ(w->objectName(), QStringLiteral("TestWindow"));
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Test"));
  EXPECT_EQ(w->width(), 800);
  EXPECT_EQ(w->height(), 600);
  EXPECT_EQ(w->minimumSize(), w->maximumSize());
  EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(gui::IsWindow(window_));
  EXPECT_EQ(gui::GetText(window_), TXT("Test"));

  EXPECT_FALSE(w->close());  // refused: the program decides
  EXPECT_TRUE(w->isVisible());
  const gui::Event e = gui::PollEvent();
  EXPECT_TRUE(SameEvent(e, gui::kEventCloseWindow, 0, gui::kEventTypeNone, window_));
  EXPECT_TRUE(gui::IsWindow(window_));
}

TEST(QtWindowPlace, PlacedAtTheGivenInnerPosition) {
  const int w = gui::OpenWindow("Placed", 40, 30, 200, 100, TXT("Placed"), 0);
  EXPECT_EQ(gui::WindowX(w), 40);
  EXPECT_EQ(gui::WindowY(w), 30);
  const int button = gui::CreateButton("InPlaced", 1, 2, 50, 20, TXT("B"), false);
  gui::CloseWindow(w);
  EXPECT_FALSE(gui::IsWindow(w));
  // Handles of a closed window and of its gadgets are unknown from now on.
  EXPECT_EQ(gui_qt::Widget(button), nullptr);
  EXPECT_FALSE(gui::IsGadget(button));
  EXPECT_EQ(gui::GadgetWidth(button), 0);
  EXPECT_EQ(gui::GetText(button), TXT(""));
  gui::SetText(button, TXT("x"));
  gui::CloseWindow(w);
  EXPECT_EQ(gui::CreateButton("Orphan", 1, 2, 50, 20, TXT("B"), false), 0);
}

TEST_F(QtGadgets, PanelsHoldTheirGadgetsAtPagePositions) {
  const int main = gui::CreatePanel("MainPanel", 5, 5, 785, 560);
  gui::AddPanelTab(main, TXT("One"));
  const int inner = gui::CreatePanel("InnerPanel", 5, 5, 350, 525);
  gui::AddPanelTab(inner, TXT("Inner A"));
  const int list = gui::CreateCheckList("InnerList", 10, 10, 322, 478, TXT("Col"), 100);
  gui::AddPanelTab(inner, TXT("Inner B"));
  const int icons = gui::CreateIconList("InnerIcons", 10, 10, 322, 478);
  gui::ClosePanel();
  const int check = gui::CreateCheckBox("OneCheck", 375, 25, 170, 20, TXT("Check"));
  gui::AddPanelTab(main, TXT("Two & more"));
  const int button = gui::CreateButton("TwoButton", 375, 195, 140, 20, TXT("Go"), true);
  gui::ClosePanel();
  const int text = gui::CreateTextLabel("WindowText", 5, 575, 790, 15, TXT("Version"));

  auto* mainTabs = As<QTabWidget>(main);
  auto* innerTabs = As<QTabWidget>(inner);
  ASSERT_NE(mainTabs, nullptr);
  ASSERT_NE(innerTabs, nullptr);
  ASSERT_EQ(mainTabs->count(), 2);
  ASSERT_EQ(innerTabs->count(), 2);
  EXPECT_EQ(mainTabs->tabText(1), QStringLiteral("Two && more"));
  EXPECT_EQ(gui::GetItemText(main, 1), TXT("Two & more"));
  EXPECT_EQ(gui::CountItems(main), 2);

  const struct {
    int gadget;
    QWidget* parent;
    QRect geometry;
    const char* name;
  } cases[] = {
      {main, gui_qt::Widget(window_), QRect(5, 5, 785, 560), "MainPanel"},
      {inner, mainTabs->widget(0), QRect(5, 5, 350, 525), "InnerPanel"},
      {list, innerTabs->widget(0), QRect(10, 10, 322, 478), "InnerList"},
      {icons, innerTabs->widget(1), QRect(10, 10, 322, 478), "InnerIcons"},
      {check, mainTabs->widget(0), QRect(375, 25, 170, 20), "OneCheck"},
      {button, mainTabs->widget(1), QRect(375, 195, 140, 20), "TwoButton"},
      {text, gui_qt::Widget(window_), QRect(5, 575, 790, 15), "WindowText"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget* w = gui_qt::Widget(c.gadget);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget(), c.parent);
    EXPECT_EQ(w->geometry(), c.geometry);
    EXPECT_EQ(w->objectName(), QString::fromLatin1(c.name));
    EXPECT_EQ(gui::GadgetWidth(c.gadget), c.geometry.width());
    EXPECT_EQ(gui::GadgetHeight(c.gadget), c.geometry.height());
  }
  EXPECT_TRUE(As<QPushButton>(button)->isDefault());
  // Building the tabs raised no tab-change event.
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
}

TEST_F(QtGadgets, CheckListRowsColumnsTicksAndHighlights) {
  const int list = gui::CreateCheckList("Sats", 10, 10, 322, 478, TXT("Satellites"), 256);
  gui::AddListColumn(list, 1, TXT("TRDF"), 45);
  auto* view = As<QTreeWidget>(list);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->columnCount(), 2);
  EXPECT_FALSE(view->isHeaderHidden());
  EXPECT_EQ(view->headerItem()->text(0), QStringLiteral("Satellites"));
  EXPECT_EQ(view->headerItem()->text(1), QStringLiteral("TRDF"));
  EXPECT_EQ(view->columnWidth(0), 256);
  EXPECT_EQ(view->columnWidth(1), 45);
  EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_NE(view->selectionMode(), QAbstractItemView::SingleSelection);

  gui::AddItem(list, -1, TXT("B"));
  gui::AddItem(list, -1, TXT("C"));
  gui::AddItem(list, 0, TXT("A"));
  gui::AddItem(list, 99, TXT("D"));
  gui::SetItemText(list, 1, TXT(" t r"), 1);
  ASSERT_EQ(gui::CountItems(list), 4);
  const Text rows[] = {TXT("A"), TXT("B"), TXT("C"), TXT("D")};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(gui::GetItemText(list, i), rows[i]);
  EXPECT_EQ(gui::GetItemText(list, 1, 1), TXT(" t r"));
  EXPECT_EQ(gui::GetItemText(list, 0, 1), TXT(""));
  EXPECT_EQ(gui::GetItemText(list, 1, 2), TXT(""));
  EXPECT_TRUE(view->topLevelItem(0)->flags().testFlag(Qt::ItemIsUserCheckable));
  EXPECT_EQ(gui::GetState(list), -1);

  // Ticks and highlights are independent; setting replaces both.
  const int states[] = {0, gui::kItemTicked, gui::kItemHighlighted | gui::kItemTicked, gui::kItemHighlighted};
  for (int i = 0; i < 4; ++i) gui::SetItemState(list, i, states[i]);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(gui::GetItemState(list, i), states[i]) << "row " << i;
    EXPECT_EQ(view->topLevelItem(i)->checkState(0) == Qt::Checked,
              (states[i] & gui::kItemTicked) != 0);
    EXPECT_EQ(view->topLevelItem(i)->isSelected(), (states[i] & gui::kItemHighlighted) != 0);
  }
  EXPECT_EQ(gui::GetState(list), 2);  // first highlighted of 2 and 3
  gui::SetItemState(list, 2, gui::kItemTicked);
  EXPECT_EQ(gui::GetState(list), 3);

  gui::SetState(list, 1);
  EXPECT_EQ(gui::GetState(list), 1);
  EXPECT_EQ(view->currentItem(), view->topLevelItem(1));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ((gui::GetItemState(list, i) & gui::kItemHighlighted) != 0, i == 1) << "row " << i;
  }
  EXPECT_EQ(gui::GetItemState(list, 2), gui::kItemTicked);  // ticks stay
  EXPECT_EQ(gui::GetText(list), TXT("B"));
  gui::SetState(list, -1);
  EXPECT_EQ(gui::GetState(list), -1);
  // The backend's own changes raise no events.
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);

  // Unknown rows and columns change nothing.
  gui::SetItemState(list, 4, gui::kItemTicked);
  gui::SetItemText(list, -1, TXT("x"));
  gui::SetItemText(list, 0, TXT("x"), 5);
  gui::RemoveItem(list, 4);
  EXPECT_EQ(gui::GetItemState(list, 4), 0);
  EXPECT_EQ(gui::CountItems(list), 4);

  gui::RemoveItem(list, 0);
  EXPECT_EQ(gui::CountItems(list), 3);
  EXPECT_EQ(gui::GetItemText(list, 0), TXT("B"));
  EXPECT_EQ(gui::GetItemState(list, 1), gui::kItemTicked);
  gui::ClearItems(list);
  EXPECT_EQ(gui::CountItems(list), 0);
  EXPECT_EQ(gui::GetState(list), -1);
}

TEST_F(QtEvents, UserTickOfARowPushesChange) {
  const int list = gui::CreateCheckList("Ticks", 10, 10, 300, 200, TXT("Rows"), 200);
  gui::AddItem(list, -1, TXT("r0"));
  gui::AddItem(list, -1, TXT("r1"));
  auto* view = As<QTreeWidget>(list);
  view->topLevelItem(1)->setCheckState(0, Qt::Checked);  // as the check box click does
  EXPECT_TRUE(SameEvent(gui::PollEvent(), gui::kEventGadget, list, gui::kChange, window_));
  EXPECT_EQ(gui::GetItemState(list, 1), gui::kItemTicked);
  // A text change of the row is no toggle.
  view->topLevelItem(1)->setText(0, QStringLiteral("renamed"));
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
  view->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
  EXPECT_TRUE(SameEvent(gui::PollEvent(), gui::kEventGadget, list, gui::kChange, window_));
  EXPECT_EQ(gui::GetItemState(list, 1), 0);
}

TEST_F(QtEvents, TabChangeIsReportedToWaitAndPoll) {
  const int panel = gui::CreatePanel("Tabs", 5, 5, 400, 300);
  gui::AddPanelTab(panel, TXT("A"));
  gui::AddPanelTab(panel, TXT("B"));
  gui::AddPanelTab(panel, TXT("C"));
  gui::ClosePanel();
  auto* tabs = As<QTabWidget>(panel);
  EXPECT_EQ(gui::GetState(panel), 0);

  tabs->setCurrentIndex(1);  // as a click on the tab does
  EXPECT_TRUE(SameEvent(gui::WaitEvent(), gui::kEventGadget, panel, gui::kChange, window_));
  EXPECT_EQ(gui::GetState(panel), 1);
  EXPECT_EQ(gui::GetText(panel), TXT("B"));
  tabs->setCurrentIndex(2);
  EXPECT_TRUE(SameEvent(gui::PollEvent(), gui::kEventGadget, panel, gui::kChange, window_));
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);

  gui::SetState(panel, 0);
  EXPECT_EQ(tabs->currentIndex(), 0);
  gui::SetState(panel, 7);
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
}

TEST_F(QtEvents, ButtonsCheckBoxesAndDropDownsReport) {
  const int check = gui::CreateCheckBox("Check", 10, 10, 170, 20, TXT("Tick & go"));
  const int button = gui::CreateButton("Button", 10, 40, 140, 20, TXT("Press"), false);
  const int combo = gui::CreateComboBox("Combo", 10, 70, 165, 20);
  EXPECT_EQ(gui::GetText(check), TXT("Tick & go"));
  EXPECT_FALSE(As<QPushButton>(button)->isDefault());

  As<QCheckBox>(check)->click();
  EXPECT_TRUE(SameEvent(gui::PollEvent(), gui::kEventGadget, check, gui::kLeftClick, window_));
  EXPECT_EQ(gui::GetState(check), 1);
  As<QPushButton>(button)->click();
  EXPECT_TRUE(SameEvent(gui::WaitEvent(), gui::kEventGadget, button, gui::kLeftClick, window_));

  gui::SetState(check, 0);
  EXPECT_EQ(gui::GetState(check), 0);
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);

  gui::AddItem(combo, -1, TXT(" first"));
  gui::AddItem(combo, -1, TXT(" third"));
  gui::AddItem(combo, 1, TXT(" second"));
  gui::SetState(combo, 0);
  EXPECT_EQ(gui::CountItems(combo), 3);
  EXPECT_EQ(gui::GetItemText(combo, 1), TXT(" second"));
  EXPECT_EQ(gui::GetText(combo), TXT(" first"));
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QCoreApplication::sendEvent(As<QComboBox>(combo), &down);  // the user picks the next item
  EXPECT_TRUE(SameEvent(gui::PollEvent(), gui::kEventGadget, combo, gui::kChange, window_));
  EXPECT_EQ(gui::GetState(combo), 1);
  gui::RemoveItem(combo, 0);
  EXPECT_EQ(gui::GetItemText(combo, 0), TXT(" second"));
}

TEST_F(QtEvents, PollWithoutEventsGivesNone) {
  const gui::Event e = gui::PollEvent();
  EXPECT_EQ(e.kind, gui::kEventNone);
  EXPECT_EQ(e.gadget, 0);
  EXPECT_EQ(e.window, 0);
}

TEST_F(QtGadgets, WindowImageIsAPngOfTheInnerArea) {
  const int label = gui::CreateTextLabel("Shown", 5, 5, 100, 20, TXT("Shown"));
  EXPECT_TRUE(gui::IsGadget(label));
  EXPECT_FALSE(gui::IsGadget(window_));
  std::error_code ec;
  const std::filesystem::path file =
      std::filesystem::temp_directory_path(ec) /
      ("ovn_qt_shot_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
       ".png");
  ASSERT_TRUE(gui::SaveWindowImage(window_, FromFsPath(file)));
  RgbaImage image;
  ASSERT_TRUE(DecodePngFile(FromFsPath(file), image));
  EXPECT_EQ(image.width, 800);
  EXPECT_EQ(image.height, 600);
  std::filesystem::remove(file, ec);
  EXPECT_FALSE(gui::SaveWindowImage(label, FromFsPath(file)));
  EXPECT_FALSE(gui::SaveWindowImage(window_, FromFsPath(file / "no" / "such" / "folder.png")));
}

TEST_F(QtGadgets, HideShowAndUnknownHandles) {
  const int text = gui::CreateTextLabel("Status", 5, 568, 790, 15, TXT(""));
  EXPECT_FALSE(gui::IsGadgetHidden(text));
  gui::HideGadget(text, true);
  EXPECT_TRUE(gui::IsGadgetHidden(text));
  EXPECT_TRUE(gui_qt::Widget(text)->isHidden());
  gui::HideGadget(text, false);
  EXPECT_FALSE(gui::IsGadgetHidden(text));
  gui::SetText(text, TXT("Loaded x"));
  EXPECT_EQ(gui::GetText(text), TXT("Loaded x"));
  EXPECT_EQ(As<QLabel>(text)->textFormat(), Qt::PlainText);

  for (int unknown : {0, -3, 99999}) {
    gui::HideGadget(unknown, true);
    gui::SetState(unknown, 1);
    gui::AddItem(unknown, -1, TXT("x"));
    EXPECT_EQ(gui::GetState(unknown), 0);
    EXPECT_EQ(gui::CountItems(unknown), 0);
    EXPECT_EQ(gui::GetText(unknown), TXT(""));
    EXPECT_FALSE(gui::IsGadgetHidden(unknown));
    EXPECT_FALSE(gui::IsWindow(unknown));
    EXPECT_FALSE(gui::IsGadget(unknown));
  }
}

TEST_F(QtGadgets, PicturesInPictureBoxesAndIconLists) {
  const std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 0, 255, 128};  // red, half-clear blue
  const int picture = gui::CreatePicture(2, 1, rgba);
  ASSERT_GT(picture, 0);
  EXPECT_EQ(gui::CreatePicture(2, 2, rgba), 0);  // too few bytes
  EXPECT_EQ(gui::CreatePicture(0, 1, {}), 0);
  const int second = gui::CreatePicture(1, 1, {1, 2, 3, 4});
  EXPECT_EQ(second, picture + 1);

  const int box = gui::CreatePictureBox("Flag", 375, 255, 32, 32);
  EXPECT_EQ(gui::GetState(box), 0);
  gui::SetState(box, picture);
  EXPECT_EQ(gui::GetState(box), picture);
  const QImage shown = As<QLabel>(box)->pixmap().toImage();
  ASSERT_EQ(shown.size(), QSize(2, 1));
  EXPECT_EQ(shown.pixelColor(0, 0), QColor(255, 0, 0, 255));
  EXPECT_EQ(shown.pixelColor(1, 0), QColor(0, 0, 255, 128));
  gui::SetState(box, 0);
  EXPECT_EQ(gui::GetState(box), 0);
  EXPECT_TRUE(As<QLabel>(box)->pixmap().isNull());
  gui::SetState(box, 9999);
  EXPECT_EQ(gui::GetState(box), 0);

  const int icons = gui::CreateIconList("Languages", 10, 10, 322, 478);
  auto* view = As<QListWidget>(icons);
  EXPECT_EQ(view->viewMode(), QListView::IconMode);
  EXPECT_EQ(view->iconSize(), QSize(32, 32));
  EXPECT_EQ(view->selectionMode(), QAbstractItemView::SingleSelection);
  gui::AddItem(icons, -1, TXT("English"), picture);
  gui::AddItem(icons, -1, TXT("Deutsch"), second);
  gui::AddItem(icons, 0, TXT("Dansk"), 0);
  EXPECT_EQ(gui::CountItems(icons), 3);
  EXPECT_EQ(gui::GetItemText(icons, 1), TXT("English"));
  EXPECT_FALSE(view->item(1)->icon().isNull());
  EXPECT_TRUE(view->item(0)->icon().isNull());
  EXPECT_EQ(gui::GetState(icons), -1);
  gui::SetState(icons, 2);
  EXPECT_EQ(gui::GetState(icons), 2);
  EXPECT_EQ(gui::GetItemState(icons, 2), gui::kItemHighlighted);
  gui::SetState(icons, 1);
  EXPECT_EQ(gui::GetItemState(icons, 2), 0);
  EXPECT_EQ(gui::GetText(icons), TXT("English"));
  gui::SetState(icons, -1);
  EXPECT_EQ(gui::GetState(icons), -1);
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
}

TEST(QtText, ConversionsBothWays) {
  const Text latin1 = TXT("caf") + Text(1, static_cast<Char>(0xE9)) + TXT(" ") +
                      Text(1, static_cast<Char>(0xFF));
  const QString q = gui_qt::ToQString(latin1);
  EXPECT_EQ(q, QString::fromUtf8("caf\xc3\xa9 \xc3\xbf"));
  EXPECT_EQ(gui_qt::FromQString(q), latin1);
  EXPECT_EQ(gui_qt::FromQString(QString()), TXT(""));
  const QString beyond = QString::fromUtf8("a\xe2\x98\xba" "b");  // U+263A
#ifdef OVN_UNICODE
  EXPECT_EQ(gui_qt::FromQString(beyond), Text(u"a\u263Ab"));
  EXPECT_EQ(gui_qt::ToQString(Text(u"a\u263Ab")), beyond);
#else
  EXPECT_EQ(gui_qt::FromQString(beyond), TXT("a?b"));
#endif
  const Text withNul(TXT("a\0b"), 3);
  EXPECT_EQ(gui_qt::ToQString(withNul).size(), 3);
}

TEST(QtText, CarriageReturnBreaksMessageLines) {
  const struct {
    Text in;
    const char* out;
  } cases[] = {
      {TXT("one"), "one"},
      {TXT("We are sorry\rinsist you provide\r/path/x.png"), "We are sorry\ninsist you provide\n/path/x.png"},
      {TXT("a\r\nb"), "a\nb"},
      {TXT("a\nb"), "a\nb"},
      {TXT("\r\r"), "\n\n"},
      {TXT("end\r"), "end\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gui_qt::MessageToQString(c.in), QString::fromLatin1(c.out));
  }
}

TEST(QtText, RequesterFilters) {
  const struct {
    Text in;
    const char* out;
  } cases[] = {
      {TXT("*.xml"), "*.xml (*.xml)"},
      {TXT("*.txt;*.tv"), "*.txt;*.tv (*.txt *.tv)"},
      {TXT("Bouquets|*.tv;*.radio|All files|*.*"), "Bouquets (*.tv *.radio);;All files (*.*)"},
      {TXT("|*.txt"), "*.txt (*.txt)"},
      {TXT(""), ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gui_qt::FileFilterToQt(c.in), QString::fromLatin1(c.out));
  }
}

TEST(QtText, LabelsKeepAmpersands) {
  EXPECT_EQ(gui_qt::LabelToQString(TXT("A & B")), QStringLiteral("A && B"));
  EXPECT_EQ(gui_qt::LabelFromQString(QStringLiteral("A && B")), TXT("A & B"));
}

// Runs action on the modal dialog as soon as it is up; the dialog's own event
// loop delivers the timer.
void WhenModal(std::function<void(QWidget*)> action) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, action] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    poll->stop();
    poll->deleteLater();
    action(modal);
  });
  poll->start();
}

TEST_F(QtGadgets, MessageBoxAnswers) {
  const struct {
    int flags;
    QMessageBox::StandardButton press;
    int answer;
  } cases[] = {
      {gui::kMessageOk, QMessageBox::Ok, gui::kAnswerOk},
      {gui::kMessageYesNo, QMessageBox::Yes, gui::kAnswerYes},
      {gui::kMessageYesNo, QMessageBox::No, gui::kAnswerNo},
  };
  for (const auto& c : cases) {
    QString shownText;
    QString shownTitle;
    WhenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      shownText = box->text();
      shownTitle = box->windowTitle();
      box->button(c.press)->click();
    });
    EXPECT_EQ(gui::ShowMessage(TXT("File not found!!"), TXT("first\rsecond"), c.flags), c.answer);
    EXPECT_EQ(shownText, QStringLiteral("first\nsecond"));
    EXPECT_EQ(shownTitle, QStringLiteral("File not found!!"));
  }
}

TEST_F(QtGadgets, FileRequestersLeaveTheWorkingFolder) {
  static std::atomic<unsigned> counter{0};
  std::error_code ec;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path(ec) /
      ("ovn_qt_req_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
       "_" + std::to_string(counter++));
  ASSERT_TRUE(std::filesystem::create_directory(folder, ec));
  const std::filesystem::path file = folder / "satellites.xml";
  std::ofstream(file) << "<x/>";
  const std::filesystem::path saved = folder / "left.txt";
  std::ofstream(saved) << "old";
  const QString savedQ = QString::fromStdString(saved.string());
  const QString folderQ = QString::fromStdString(folder.string());
  const QString fileQ = QString::fromStdString(file.string());
  const QString before = QDir::currentPath();

  QStringList filters;
  WhenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    filters = dialog->nameFilters();
    dialog->setDirectory(folderQ);
    dialog->selectFile(fileQ);
    static_cast<QDialog*>(dialog)->accept();
  });
  const Text opened = gui::OpenFileRequester(TXT("Where is it ?"), TXT("satellites.xml"), TXT("*.xml"));
  EXPECT_EQ(gui_qt::ToQString(opened), fileQ);
  EXPECT_EQ(filters, QStringList{QStringLiteral("*.xml (*.xml)")});
  EXPECT_EQ(QDir::currentPath(), before);

  WhenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
  EXPECT_EQ(gui::OpenFileRequester(TXT("Cancel me"), TXT("*.txt"), TXT("*.txt")), TXT(""));

  WhenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    dialog->setDirectory(folderQ);
    dialog->selectFile(savedQ);  // an existing file is taken without asking
    static_cast<QDialog*>(dialog)->accept();
  });
  EXPECT_EQ(gui_qt::ToQString(gui::SaveFileRequester(TXT("Save Left bouquet"), TXT("left.txt"),
                                                     TXT("*.txt"))),
            savedQ);

  WhenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->setDirectory(folderQ);
    static_cast<QDialog*>(dialog)->accept();
  });
  const Text chosen = gui::FolderRequester(TXT("Select the directory"), FromFsPath(folder));
  EXPECT_EQ(gui_qt::ToQString(chosen), folderQ + QLatin1Char('/'));
  EXPECT_EQ(QDir::currentPath(), before);

  std::filesystem::remove_all(folder, ec);
}

}  // namespace
