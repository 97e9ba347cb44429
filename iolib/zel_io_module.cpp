#include "zel_io_module.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>

#include "app_settings.h"
#include "catalogue.h"
#include "quantity_order.h"
#include "vbs/value_conv.h"
#include "zel_dialog.h"

namespace zel {

namespace {

zelDialog* g_dialog = nullptr;
std::function<void()> g_stopScript;

constexpr const char* kMemberNames[] = {"AddListItem", "ClearListItem", "SetGuidePicture", "SetUnitId",
                                       "getData"};

QString ToQString(const vbs::Variant& v) {
  const std::u16string text = vbs::ToText(v);
  return QString::fromStdU16String(text);
}

// The script language's `value <> ""`, taken as an If condition: missing,
// Empty and the empty text are equal to it; Null compares as unknown, which
// an If takes as false; any number differs.
bool DiffersFromEmptyText(const vbs::Variant& v) {
  if (v.IsMissing() || v.IsEmpty() || v.IsNull()) return false;
  if (v.IsString()) return !v.str().empty();
  if (v.IsArray()) vbs::Raise(vbs::kErrTypeMismatch);
  if (v.IsObject()) return DiffersFromEmptyText(vbs::DefaultValue(v.object()));
  return true;
}

}  // namespace

zelDialog& IODialog() {
  if (g_dialog && g_dialog->IsUnloaded()) {
    delete g_dialog;
    g_dialog = nullptr;
  }
  if (!g_dialog) {
    static bool quitHooked = false;
    if (!quitHooked && QCoreApplication::instance()) {
      quitHooked = true;
      // The platform unloads the dialog when the program ends: the quantity
      // order is saved then.
      QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] {
        if (g_dialog) g_dialog->Form_Unload();
      });
    }
    g_dialog = new zelDialog();
    g_dialog->hide();
  }
  return *g_dialog;
}

bool IODialogLoaded() { return g_dialog && !g_dialog->IsUnloaded(); }

void UnloadIODialog() {
  if (!g_dialog) return;
  g_dialog->Form_Unload();
  delete g_dialog;
  g_dialog = nullptr;
}

void SetScriptStopper(std::function<void()> stop) { g_stopScript = std::move(stop); }

zelIOModule::zelIOModule() { IODialog(); }

vbs::Ref<vbs::HostObject> CreateIOObject() { return vbs::Ref<vbs::HostObject>(new zelIOModule()); }

int zelIOModule::FindMember(std::u16string_view name) const {
  return vbs::MemberTable(kMemberNames, kAddListItem).Find(name);
}

// A compiled class's methods: every argument written counts, and one a
// method needs but was left out raises 449.
void zelIOModule::Invoke(int member, vbs::InvokeKind kind, vbs::Args& args, vbs::Variant& result) {
  if (member < kAddListItem || member > kGetData) vbs::Raise(vbs::kErrNoSuchMember);
  if (kind == vbs::InvokeKind::PropertyLet || kind == vbs::InvokeKind::PropertySet)
    vbs::Raise(vbs::kErrWrongArgCount);
  constexpr auto kCounted = vbs::OmittedArgs::Counted;
  switch (member) {
    case kAddListItem:
      vbs::NeedArgs(args, 1, 1, kCounted);
      AddListItem(args[0]);
      return;
    case kClearListItem:
      vbs::NeedArgs(args, 0, 0, kCounted);
      ClearListItem();
      return;
    case kSetGuidePicture: {
      vbs::NeedArgs(args, 1, 1, kCounted);
      // Never fails: a name that cannot even be made text loads nothing.
      QString name;
      try {
        name = ToQString(args[0]);
      } catch (const vbs::ScriptError&) {
        return;
      }
      SetGuidePicture(name);
      return;
    }
    case kSetUnitId: {
      vbs::NeedArgs(args, 1, 2, kCounted);
      const int uid = vbs::ToInteger(args[0]);
      const int subIU = args.Missing(1) ? 0 : vbs::ToInteger(args[1]);
      SetUnitId(uid, subIU);
      return;
    }
    case kGetData: {
      vbs::NeedArgs(args, 1, 3, kCounted);
      const QString caption = ToQString(args[0]);
      const QString title =
          args.Missing(2) ? QStringLiteral("User Input") : ToQString(args[2]);
      const vbs::Variant none = vbs::Variant::Missing();
      const QString text = getData(caption, args.Missing(1) ? none : args[1], title);
      result = vbs::Variant::FromString(text.toStdU16String());
      return;
    }
  }
}

void zelIOModule::AddListItem(const vbs::Variant& a) {
  const QString item = ToQString(a);
  QComboBox* field = IODialog().txtBaseValue;
  // Adding to an editable combo box may copy the first item into the text;
  // the text stays what it was.
  const QString text = field->currentText();
  field->addItem(item);
  field->setEditText(text);
}

void zelIOModule::ClearListItem() {
  QComboBox* field = IODialog().txtBaseValue;
  field->clear();
  field->setEditText(QString());
}

void zelIOModule::SetGuidePicture(const QString& pictureName) {
  QLabel* image = IODialog().imgGuidePicture;
  if (pictureName.isEmpty()) {
    image->setPixmap(QPixmap());
    return;
  }
  QPixmap picture;
  if (!picture.load(pictureName)) {
    // Scripts written for other systems may use backslashes.
    const QString slashed = QString(pictureName).replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (slashed == pictureName || !picture.load(slashed)) return;
  }
  image->setPixmap(picture);
}

void zelIOModule::SetUnitId(int uid, int subIU) {
  if (uid < 0 || uid >= kQuantityCount)
    vbs::Raise(vbs::kErrSubscriptOutOfRange);
  zelDialog& dialog = IODialog();
  // The stored order, not the dialog's: both agree unless the store was
  // changed behind the dialog's back.
  const QuantityOrder order = ReadQuantityOrder(AppSettings(), kUnitOrderSection);
  const auto& names = QuantityNames();
  for (int k = 0; k < kQuantityCount; ++k) {
    if (names[size_t(uid)] == names[size_t(order[size_t(k)])] && k < dialog.cmbUnit->count()) {
      dialog.cmbUnit->setCurrentIndex(k);
      dialog.cmbUnit_Click();
    }
  }
  for (QListWidget* list : dialog.lstUnitList) {
    if (subIU < -1 || subIU >= list->count())
      vbs::Raise(vbs::kErrInvalidPropertyValue);
    list->setCurrentRow(subIU);
  }
}

QString zelIOModule::getData(const QString& caption, const vbs::Variant& defaultValue,
                             const QString& title) {
  zelDialog& dialog = IODialog();
  dialog.txtCaption->setPlainText(caption);
  dialog.setWindowTitle(title);
  if (DiffersFromEmptyText(defaultValue)) dialog.txtBaseValue->setEditText(ToQString(defaultValue));
  bool stop = false;
  const QString text = dialog.RunModal(bool(g_stopScript), &stop);
  // Answered first, as Cancel: the script stops at its next step.
  if (stop && g_stopScript) g_stopScript();
  return text;
}

}  // namespace zel
