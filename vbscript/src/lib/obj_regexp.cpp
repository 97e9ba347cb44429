// RegExp with its Matches, Match and SubMatches collections.
#include <memory>
#include <stdexcept>

#include "lib/objbase.h"
#include "lib/textalgo.h"
#include "lib/regex.h"

namespace vbs::lib {

namespace {

// Matches and SubMatches: zero-based, fixed when made.
class ItemCollection final : public Collection {
 public:
  ItemCollection(std::u16string name, std::vector<Variant> items) : name_(std::move(name)), items_(std::move(items)) {}
  std::u16string TypeName() const override { return name_; }
  bool Enumerate(std::vector<Variant>& out) override {
    out.insert(out.end(), items_.begin(), items_.end());
    return true;
  }

 protected:
  Variant Item(const Variant& key) override {
    const int32_t i = ToLong(key);
    if (i < 0 || static_cast<size_t>(i) >= items_.size()) Raise(kErrInvalidCall);
    return items_[static_cast<size_t>(i)];
  }
  int32_t Count() override { return static_cast<int32_t>(items_.size()); }

 private:
  std::u16string name_;
  std::vector<Variant> items_;
};

class MatchObject final : public LibObject {
 public:
  explicit MatchObject(RegexMatch m) : m_(std::move(m)) {}
  std::u16string TypeName() const override { return u"IMatch2"; }
  void Invoke(int member, InvokeKind kind, Args& a, Variant& result) override {
    if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) Raise(kErrNoSuchMember);
    if (member != 3) NeedArgs(a, 0, 0);
    switch (member) {
      case 0: result = Variant::FromString(m_.value); return;
      case 1: result = Variant::FromLong(static_cast<int32_t>(m_.index)); return;
      case 2: result = Variant::FromLong(static_cast<int32_t>(m_.length)); return;
      case 3: {
        std::vector<Variant> subs;
        for (const auto& g : m_.groups) subs.push_back(g ? Variant::FromString(*g) : Variant());
        Ref<HostObject> c(new ItemCollection(u"ISubMatches", std::move(subs)));
        result = Variant::FromObject(c.get());
        ApplyDefault(result, a);
        return;
      }
      default: Raise(kErrNoSuchMember);
    }
  }

 protected:
  MemberTable Members() const override {
    static constexpr const char* kNames[] = {"Value", "FirstIndex", "Length", "SubMatches"};
    return MemberTable(kNames);
  }

 private:
  RegexMatch m_;
};

class RegExpObject final : public LibObject {
 public:
  enum Member { kNoDefault, kPattern, kIgnoreCase, kGlobal, kMultiline, kTest, kExecute, kReplace };

  std::u16string TypeName() const override { return u"IRegExp2"; }

  void Invoke(int member, InvokeKind kind, Args& a, Variant& result) override {
    const bool put = kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet;
    switch (member) {
      case kPattern:
        if (put) {
          pattern_ = ToText(a[a.size() - 1]);
          compiled_.reset();
        } else {
          result = Variant::FromString(pattern_);
        }
        return;
      case kIgnoreCase: Flag(put, a, result, ignoreCase_); return;
      case kGlobal: Flag(put, a, result, global_); return;
      case kMultiline: Flag(put, a, result, multiline_); return;
      default: break;
    }
    if (put) Raise(kErrNoSuchMember);
    switch (member) {
      case kTest:
        NeedArgs(a, 1, 1);
        result = Variant::FromBool(Compiled().Test(Subject(a[0])));
        return;
      case kExecute: {
        NeedArgs(a, 1, 1);
        std::vector<Variant> items;
        for (auto& m : Compiled().Find(Subject(a[0]), global_)) {
          Ref<HostObject> mo(new MatchObject(std::move(m)));
          items.push_back(Variant::FromObject(mo.get()));
        }
        Ref<HostObject> c(new ItemCollection(u"IMatchCollection2", std::move(items)));
        result = Variant::FromObject(c.get());
        return;
      }
      case kReplace: {
        NeedArgs(a, 2, 2);
        const std::u16string text = Subject(a[0]);
        try {
          result = Variant::FromString(Compiled().Replace(text, ToText(a[1]), global_));
        } catch (const std::length_error&) {
          Raise(kErrOutOfMemory);
        }
        return;
      }
      default: Raise(kErrNoSuchMember);
    }
  }

 protected:
  MemberTable Members() const override {
    // Slot 0 is the default member, which RegExp does not have.
    static constexpr const char* kNames[] = {"", "Pattern", "IgnoreCase", "Global", "Multiline",
                                             "Test", "Execute", "Replace"};
    return MemberTable(kNames);
  }

 private:
  void Flag(bool put, Args& a, Variant& result, bool& flag) {
    if (put) {
      const bool v = ToBool(a[a.size() - 1]);
      if (v != flag) compiled_.reset();
      flag = v;
    } else {
      result = Variant::FromBool(flag);
    }
  }

  // A Null subject reads as empty text.
  static std::u16string Subject(const Variant& v) { return v.IsNull() ? std::u16string() : ToText(v); }

  const Regex& Compiled() {
    if (!compiled_) {
      try {
        compiled_ = std::make_unique<Regex>(pattern_, ignoreCase_, multiline_);
      } catch (const RegexError&) {
        Raise(kErrRegExpSyntax);
      }
    }
    return *compiled_;
  }

  std::u16string pattern_;
  bool ignoreCase_ = false, global_ = false, multiline_ = false;
  std::unique_ptr<Regex> compiled_;
};

}  // namespace

Ref<HostObject> CreateRegExpObject() { return Ref<HostObject>(new RegExpObject()); }

}  // namespace vbs::lib
