// zelIO's five methods, driven the way scripts call them.
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <vector>

#include "dialog_test_util.h"
#include "vbs/value_conv.h"

namespace zel::test {
namespace {

using vbs::Variant;

// Calls a member by name as the engine does; omitted trailing arguments are
// simply not passed.
Variant Call(vbs::HostObject& object, std::u16string_view name, std::vector<Variant> args = {}) {
  const int member = object.FindMember(name);
  EXPECT_GE(member, 0);
  vbs::Args list(args.data(), int(args.size()));
  Variant result;
  object.Invoke(member, vbs::InvokeKind::Method, list, result);
  return result;
}

std::u16string Text(const Variant& v) {
  EXPECT_EQ(v.type(), vbs::vbString);
  return v.IsString() ? std::u16string(v.str()) : std::u16string();
}

int ErrorNumberOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const vbs::ScriptError& e) {
    return e.number;
  }
  return 0;
}

struct Seen {
  QString title, caption, value;
};

// Answers the next dialog: records what it shows, optionally types a value,
// then presses OK or Cancel.
void Answer(Seen* seen, bool ok, const QString* typed = nullptr) {
  WhenShown([=](zelDialog& d) {
    if (seen) *seen = {d.windowTitle(), d.txtCaption->toPlainText(), d.txtBaseValue->currentText()};
    if (typed) d.txtBaseValue->setEditText(*typed);
    (ok ? d.OKButton : d.cmdExit)->click();
  });
}

using IOObject = DialogTest;

TEST_F(IOObject, GetDataOnAFreshObjectShowsUserInputAndZero) {
  vbs::Ref<vbs::HostObject> io = CreateIOObject();
  EXPECT_EQ(io->TypeName(), u"zelIOModule");
  Seen seen;
  Answer(&seen, true);
  EXPECT_EQ(Text(Call(*io, u"getData", {Variant::FromString(u"Pipe diameter [m]")})), u"0");
  EXPECT_EQ(seen.title, "User Input");
  EXPECT_EQ(seen.caption, "Pipe diameter [m]");
  EXPECT_EQ(seen.value, "0");
  EXPECT_FALSE(IODialog().isVisible());
}

TEST_F(IOObject, SecondGetDataShowsWhatTheFirstConfirmedAndCancelEmptiesIt) {
  vbs::Ref<vbs::HostObject> io = CreateIOObject();
  const QString typed = QStringLiteral("12.5 kg");
  Answer(nullptr, true, &typed);
  EXPECT_EQ(Text(Call(*io, u"GETDATA", {Variant::FromString(u"a")})), u"12.5 kg");

  Seen seen;
  const QString other = QStringLiteral("99");
  Answer(&seen, false, &other);  // typed, then Cancel
  EXPECT_EQ(Text(Call(*io, u"getdata", {Variant::FromString(u"b"), Variant::Missing(),
                                         Variant::FromString(u"Second")})),
            u"");
  EXPECT_EQ(seen.value, "12.5 kg");
  EXPECT_EQ(seen.title, "Second");

  Answer(&seen, true);
  EXPECT_EQ(Text(Call(*io, u"getData", {Variant::FromString(u"c")})), u"");
  EXPECT_EQ(seen.value, "");
}

TEST_F(IOObject, DefaultsSetTheFieldOnlyWhenTheyDifferFromEmptyText) {
  vbs::Ref<vbs::HostObject> io = CreateIOObject();
  Seen seen;
  Answer(&seen, true);
  EXPECT_EQ(Text(Call(*io, u"getData", {Variant::FromString(u"p"), Variant::FromString(u"20"),
                                        Variant::FromLong(7)})),
            u"20");
  EXPECT_EQ(seen.title, "7");  // a non-text title is converted

  const std::vector<std::pair<Variant, std::u16string>> cases = {
      {Variant::FromInteger(0), u"0"},        // a number differs from ""
      {Variant::FromString(u""), u"0"},       // "" keeps the field
      {Variant::Empty(), u"0"},               // so does Empty
      {Variant::Null(), u"0"},                // and Null (unknown is not true)
      {Variant::FromDouble(2.5), u"2.5"},
      {Variant::FromBool(true), u"True"},
  };
  for (const auto& [value, expected] : cases) {
    // Start every case from the text 0.
    IODialog().txtBaseValue->setEditText(QStringLiteral("0"));
    Answer(&seen, true);
    EXPECT_EQ(Text(Call(*io, u"getData", {Variant::FromString(u"p"), value})), expected)
        << int(value.type());
  }
}

TEST_F(IOObject, EnterKeepsTheTextAndEscEmptiesIt) {
  vbs::Ref<vbs::HostObject> io = CreateIOObject();
  WhenShown([](zelDialog& d) {
    // First in the tab order (the combo box hands its focus to its line edit).
    EXPECT_TRUE(d.focusWidget() == d.txtBaseValue || d.focusWidget() == d.txtBaseValue->lineEdit())
        << d.focusWidget()->metaObject()->className();
    d.txtBaseValue->setEditText(QStringLiteral("42"));
    PressKey(d.txtBaseValue->lineEdit(), Qt::Key_Return);
  });
  EXPECT_EQ(Text(Call(*io, u"getData", {Variant::FromString(u"p")})), u"42");
  EXPECT_EQ(IODialog().txtBaseValue->count(), 0);  // Enter adds nothing to the list

  // Typing the start of a choice keeps what was typed (no completion).
  Call(*io, u"AddListItem", {Variant::FromString(u"1.5")});
  WhenShown([](zelDialog& d) {
    d.txtBaseValue->setEditText(QString());
    QKeyEvent one(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
    QApplication::sendEvent(d.txtBaseValue->lineEdit(), &one);
    PressKey(d.txtBaseValue->lineEdit(), Qt::Key_Enter);
  });
  EXPECT_EQ(Text(Call(*io, u"getData", {Variant::FromString(u"p")})), u"1");
  EXPECT_EQ(IODialog().txtBaseValue->count(), 1);

  WhenShown([](zelDialog& d) {
    d.txtBaseValue->setEditText(QStringLiteral("43"));
    PressKey(d.txtBaseValue->lineEdit(), Qt::Key_Escape);
  });
  EXPECT_EQ(Text(Call(*io, u"getData", {Variant::FromString(u"p")})), u"");
}

TEST_F(IOObject, EnterInThePromptBoxAndTheUnitAreaPressesOk) {
  vbs::Ref<vbs::HostObject> io = CreateIOObject();
  QString promptAfter;
  WhenShown([&](zelDialog& d) {
    d.txtBaseValue->setEditText(QStringLiteral("7"));
    d.txtCaption->setFocus();
    PressKey(d.txtCaption, Qt::Key_Return);
    promptAfter = d.txtCaption->toPlainText();
  });
  EXPECT_EQ(Text(Call(*io, u"getData", {Variant::FromString(u"Length?")})), u"7");
  EXPECT_EQ(promptAfter, "Length?");  // no line break was added

  // The unit area's lists and quantity selector: Enter is OK there too.
  QWidget* (*targets[])(zelDialog&) = {
      [](zelDialog& d) -> QWidget* { return d.lstUnitList[0]; },
      [](zelDialog& d) -> QWidget* { return d.lstUnitList[1]; },
      [](zelDialog& d) -> QWidget* { return d.cmbUnit->lineEdit(); },
  };
  for (auto target : targets) {
    bool stillOpen = true;
    WhenShown([&](zelDialog& d) {
      if (!d.UnitAreaOpen()) d.cmdUnitConv_Click();
      d.txtBaseValue->setEditText(QStringLiteral("8"));
      target(d)->setFocus();
      PressKey(target(d), Qt::Key_Enter);
      stillOpen = d.isVisible();
    });
    EXPECT_EQ(Text(Call(*io, u"getData", {Variant::FromString(u"p")})), u"8");
    EXPECT_FALSE(stillOpen);
  }
}

TEST_F(IOObject, ListItemsAreAppendedAsTextAndClearedWithTheText) {
  vbs::Ref<vbs::HostObject> io = CreateIOObject();
  QComboBox* field = IODialog().txtBaseValue;
  Call(*io, u"AddListItem", {Variant::FromDouble(1.5)});
  Call(*io, u"AddListItem", {Variant::FromString(u"1.5")});
  Call(*io, u"AddListItem", {Variant::FromString(u"水")});
  ASSERT_EQ(field->count(), 3);
  EXPECT_EQ(field->itemText(0), "1.5");
  EXPECT_EQ(field->itemText(1), "1.5");
  EXPECT_EQ(field->itemText(2), "水");
  EXPECT_EQ(field->currentText(), "0");  // the text is not touched

  // Picking a choice from the list is what getData returns.
  WhenShown([](zelDialog& d) {
    d.txtBaseValue->setCurrentIndex(2);
    d.OKButton->click();
  });
  EXPECT_EQ(Text(Call(*io, u"getData", {Variant::FromString(u"p")})), u"水");

  Call(*io, u"ClearListItem");
  EXPECT_EQ(field->count(), 0);
  EXPECT_EQ(field->currentText(), "");
  EXPECT_EQ(ErrorNumberOf([&] { Call(*io, u"AddListItem", {Variant::Null()}); }), 94);
}

TEST_F(IOObject, GuidePictureLoadsBitmapsAndIconsAndNeverFails) {
  vbs::Ref<vbs::HostObject> io = CreateIOObject();
  QLabel* image = IODialog().imgGuidePicture;
  ASSERT_FALSE(image->pixmap().isNull());
  EXPECT_EQ(image->pixmap().size(), QSize(32, 32));  // the design-time logo

  QTemporaryDir dir;
  QImage picture(48, 20, QImage::Format_RGB32);
  picture.fill(Qt::red);
  const QString bmp = dir.filePath("pipe.bmp");
  const QString ico = dir.filePath("pipe.ico");
  ASSERT_TRUE(picture.save(bmp));
  ASSERT_TRUE(picture.scaled(16, 16).save(ico));

  Call(*io, u"SetGuidePicture", {Variant::FromString(bmp.toStdU16String())});
  EXPECT_EQ(image->pixmap().size(), QSize(48, 20));
  EXPECT_TRUE(image->hasScaledContents());
  Call(*io, u"SetGuidePicture", {Variant::FromString(u"/no/such/file.bmp")});
  EXPECT_EQ(image->pixmap().size(), QSize(48, 20));  // the old picture stays
  Call(*io, u"SetGuidePicture", {Variant::Null()});
  EXPECT_EQ(image->pixmap().size(), QSize(48, 20));
  Call(*io, u"SetGuidePicture", {Variant::FromString(ico.toStdU16String())});
  EXPECT_EQ(image->pixmap().size(), QSize(16, 16));
  Call(*io, u"SetGuidePicture", {Variant::FromString(u"")});
  EXPECT_TRUE(image->pixmap().isNull());
}

TEST_F(IOObject, SetUnitIdFollowsTheStoredOrder) {
  StoreOrder({5, 0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22});
  vbs::Ref<vbs::HostObject> io = CreateIOObject();
  zelDialog& d = IODialog();
  EXPECT_EQ(d.cmbUnit->itemText(0), "Time");
  EXPECT_EQ(d.lstUnitList[0]->item(0)->text(), "second");

  Call(*io, u"SetUnitId", {Variant::FromInteger(2)});
  EXPECT_EQ(d.cmbUnit->currentIndex(), 3);
  EXPECT_EQ(d.cmbUnit->currentText(), "Length");
  for (QListWidget* list : d.lstUnitList) {
    ASSERT_EQ(list->count(), 5);
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(list->currentItem()->text(), "m");
  }
  EXPECT_FALSE(d.UnitAreaOpen());  // nothing expands

  Call(*io, u"SetUnitId", {Variant::FromString(u"2"), Variant::FromDouble(4.4)});
  for (QListWidget* list : d.lstUnitList) EXPECT_EQ(list->currentItem()->text(), "mile");

  // Selecting the quantity that is already selected reloads it.
  d.lstUnitList[1]->setCurrentRow(2);
  Call(*io, u"SetUnitId", {Variant::FromInteger(2)});
  EXPECT_EQ(d.lstUnitList[1]->currentRow(), 0);

  Call(*io, u"SetUnitId", {Variant::FromInteger(0), Variant::FromInteger(-1)});
  EXPECT_EQ(d.cmbUnit->currentText(), "Temperature");
  for (QListWidget* list : d.lstUnitList) {
    EXPECT_EQ(list->currentRow(), -1);
    EXPECT_TRUE(list->selectedItems().isEmpty());
  }
}

TEST_F(IOObject, SetUnitIdErrors) {
  vbs::Ref<vbs::HostObject> io = CreateIOObject();
  zelDialog& d = IODialog();
  EXPECT_EQ(ErrorNumberOf([&] { Call(*io, u"SetUnitId", {Variant::FromInteger(23)}); }), 9);
  EXPECT_EQ(ErrorNumberOf([&] { Call(*io, u"SetUnitId", {Variant::FromInteger(-1)}); }), 9);
  EXPECT_EQ(d.cmbUnit->currentText(), "Temperature");  // unchanged by a bad id
  try {
    Call(*io, u"SetUnitId", {Variant::FromInteger(23)});
  } catch (const vbs::ScriptError& e) {
    EXPECT_EQ(e.Text(), u"Subscript out of range");
  }

  // A bad unit index fails after the quantity was selected.
  try {
    Call(*io, u"SetUnitId", {Variant::FromInteger(22), Variant::FromInteger(4)});
    ADD_FAILURE() << "no error";
  } catch (const vbs::ScriptError& e) {
    EXPECT_EQ(e.number, 380);
    EXPECT_EQ(e.Text(), u"Invalid property value");
  }
  EXPECT_EQ(d.cmbUnit->currentText(), "Force, Weight");
  EXPECT_EQ(ErrorNumberOf([&] { Call(*io, u"SetUnitId", {Variant::FromInteger(2), Variant::FromInteger(-2)}); }), 380);
  EXPECT_EQ(ErrorNumberOf([&] { Call(*io, u"SetUnitId", {Variant::FromString(u"x")}); }), 13);
  EXPECT_EQ(ErrorNumberOf([&] { Call(*io, u"SetUnitId", {Variant::Null()}); }), 94);
}

TEST_F(IOObject, ArgumentCountsAndMemberNames) {
  vbs::Ref<vbs::HostObject> io = CreateIOObject();
  EXPECT_EQ(io->FindMember(u"Nothing"), -1);
  EXPECT_EQ(io->FindMember(u"clearlistitem"), zelIOModule::kClearListItem);
  EXPECT_EQ(ErrorNumberOf([&] { Call(*io, u"getData"); }), 449);
  EXPECT_EQ(ErrorNumberOf([&] { Call(*io, u"getData", {Variant::Missing()}); }), 449);
  EXPECT_EQ(ErrorNumberOf([&] { Call(*io, u"ClearListItem", {Variant::FromInteger(1)}); }), 450);
  EXPECT_EQ(ErrorNumberOf([&] {
              Call(*io, u"SetUnitId", {Variant::FromInteger(1), Variant::FromInteger(0),
                                       Variant::FromInteger(0)});
            }),
            450);
  EXPECT_EQ(ErrorNumberOf([&] { Call(*io, u"AddListItem"); }), 449);
}

TEST_F(IOObject, EveryObjectSharesTheOneDialog) {
  vbs::Ref<vbs::HostObject> first = CreateIOObject();
  zelDialog* dialog = &IODialog();
  Call(*first, u"AddListItem", {Variant::FromString(u"shared")});
  vbs::Ref<vbs::HostObject> second = CreateIOObject();
  EXPECT_EQ(&IODialog(), dialog);
  EXPECT_EQ(dialog->txtBaseValue->count(), 1);
  EXPECT_FALSE(dialog->isVisible());
}

// With a stopper (the program running the script), Ctrl+Break and the
// context menu's "Stop Script" answer the dialog as Cancel and then stop the
// script; OK and Cancel stop nothing. Without one there is no such way.
TEST_F(IOObject, StopScriptAnswersAsCancelAndThenStops) {
  vbs::Ref<vbs::HostObject> io = CreateIOObject();
  int stops = 0;
  SetScriptStopper([&] {
    EXPECT_FALSE(IODialog().isVisible());  // answered first
    ++stops;
  });
  const Variant prompt = Variant::FromString(u"p");
  WhenShown([](zelDialog& d) {
    d.txtBaseValue->setEditText(QStringLiteral("12"));
    QKeyEvent press(QEvent::KeyPress, 0, Qt::ControlModifier, 0, 0xFF6B, 0);  // X11's Break
    QApplication::sendEvent(d.txtBaseValue->lineEdit(), &press);
  });
  EXPECT_EQ(Text(Call(*io, u"getData", {prompt, Variant::FromString(u"5")})), u"");
  EXPECT_EQ(stops, 1);
  WhenShown([](zelDialog& d) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Pause, Qt::ControlModifier);
    QApplication::sendEvent(d.txtCaption, &press);
  });
  EXPECT_EQ(Text(Call(*io, u"getData", {prompt, Variant::FromString(u"6")})), u"");
  EXPECT_EQ(stops, 2);
  WhenShown([](zelDialog& d) { d.mnuStopScript->trigger(); });
  EXPECT_EQ(Text(Call(*io, u"getData", {prompt, Variant::FromString(u"7")})), u"");
  EXPECT_EQ(stops, 3);
  Answer(nullptr, true);
  EXPECT_EQ(Text(Call(*io, u"getData", {prompt, Variant::FromString(u"8")})), u"8");
  Answer(nullptr, false);
  EXPECT_EQ(Text(Call(*io, u"getData", {prompt, Variant::FromString(u"9")})), u"");
  EXPECT_EQ(stops, 3);

  SetScriptStopper(nullptr);
  WhenShown([](zelDialog& d) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::ControlModifier, 0, 0xFF6B, 0);
    QApplication::sendEvent(d.txtBaseValue->lineEdit(), &press);
    d.mnuStopScript->trigger();
    EXPECT_TRUE(d.isVisible());
    d.OKButton->click();
  });
  EXPECT_EQ(Text(Call(*io, u"getData", {prompt, Variant::FromString(u"10")})), u"10");
  EXPECT_EQ(stops, 3);
}

}  // namespace
}  // namespace zel::test
