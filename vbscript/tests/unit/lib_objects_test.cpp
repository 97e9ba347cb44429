// Dictionary, RegExp and FileSystemObject driven through the host-object
// interface, the way the engine calls them.
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <string>

#include "vbs/libobjects.h"
#include "vbs/value_conv.h"
#include "test_support.h"

using namespace vbs;

namespace {

Variant Call(Object* o, const char* name, std::initializer_list<Variant> args = {},
             InvokeKind kind = InvokeKind::Method) {
  std::vector<Variant> v(args);
  Args a(v.data(), static_cast<int>(v.size()));
  const std::u16string n(name, name + std::char_traits<char>::length(name));
  const int id = o->FindMember(n);
  if (id < 0) Raise(kErrNoSuchMember);
  Variant r;
  o->Invoke(id, kind, a, r);
  return r;
}
Variant Get(Object* o, const char* name, std::initializer_list<Variant> args = {}) {
  return Call(o, name, args, InvokeKind::PropertyGet);
}
void Let(Object* o, const char* name, std::initializer_list<Variant> args) {
  Call(o, name, args, InvokeKind::PropertyLet);
}
Variant S(const char16_t* s) { return Variant::FromString(s); }
Variant L(int32_t v) { return Variant::FromLong(v); }
std::u16string T(const Variant& v) { return ToText(v); }
using vbs::unittest::ErrorOf;

std::u16string Joined(const Variant& arr) {
  std::u16string r;
  for (size_t i = 0; i < arr.array()->Count(); ++i) r += (i ? u"," : u"") + ToText(arr.array()->Data()[i]);
  return r;
}

}  // namespace

TEST(LibDictionary, KeysItemsAndErrors) {
  Ref<HostObject> d = CreateLibraryObject(u"scripting.dictionary");
  ASSERT_TRUE(d);
  Object* o = d.get();
  Call(o, "Add", {S(u"b"), L(2)});
  Call(o, "Add", {S(u"a"), L(1)});
  Call(o, "Add", {L(1), S(u"one")});
  EXPECT_EQ(ErrorOf([&] { Call(o, "Add", {S(u"a"), L(9)}); }), 457);
  // Numbers match by value whatever their subtype; "1" is another key.
  EXPECT_EQ(T(Get(o, "Item", {Variant::FromDouble(1.0)})), u"one");
  EXPECT_FALSE(Call(o, "Exists", {S(u"1")}).boolVal());
  EXPECT_FALSE(Call(o, "Exists", {S(u"A")}).boolVal());   // binary compare by default
  EXPECT_EQ(Joined(Call(o, "Keys")), u"b,a,1");
  EXPECT_EQ(Joined(Call(o, "Items")), u"2,1,one");

  Let(o, "Item", {S(u"c"), L(3)});            // assignment creates
  EXPECT_EQ(Get(o, "Count").longVal(), 4);
  EXPECT_TRUE(Get(o, "Item", {S(u"zz")}).IsEmpty());   // reading creates too
  EXPECT_EQ(Get(o, "Count").longVal(), 5);

  Let(o, "Key", {S(u"b"), S(u"B")});
  EXPECT_EQ(T(Get(o, "Item", {S(u"B")})), u"2");
  EXPECT_EQ(ErrorOf([&] { Let(o, "Key", {S(u"a"), S(u"B")}); }), 457);
  EXPECT_EQ(ErrorOf([&] { Call(o, "Remove", {S(u"nope")}); }), 32811);
  Call(o, "Remove", {S(u"a")});
  std::vector<Variant> keys;
  ASSERT_TRUE(o->Enumerate(keys));
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(T(keys[0]), u"B");
  EXPECT_EQ(T(keys[1]), u"1");
  // CompareMode can change only while empty.
  EXPECT_EQ(ErrorOf([&] { Let(o, "CompareMode", {L(1)}); }), 5);
  Call(o, "RemoveAll");
  Let(o, "CompareMode", {L(1)});
  Call(o, "Add", {S(u"Key"), L(1)});
  EXPECT_TRUE(Call(o, "Exists", {S(u"KEY")}).boolVal());
  EXPECT_EQ(ErrorOf([&] { Call(o, "Add", {S(u"kEy"), L(2)}); }), 457);
}

TEST(LibDictionary, ManyRemovalsKeepOrder) {
  Ref<HostObject> d = CreateLibraryObject(u"Scripting.Dictionary");
  for (int i = 0; i < 200; ++i) Call(d.get(), "Add", {L(i), L(i * i)});
  for (int i = 0; i < 200; i += 2) Call(d.get(), "Remove", {L(i)});
  EXPECT_EQ(Get(d.get(), "Count").longVal(), 100);
  EXPECT_EQ(Get(d.get(), "Item", {L(99)}).longVal(), 9801);
  const Variant keys = Call(d.get(), "Keys");
  EXPECT_EQ(keys.array()->Data()[0].longVal(), 1);
  EXPECT_EQ(keys.array()->Data()[99].longVal(), 199);
}

TEST(LibRegExp, ExecuteAndCollections) {
  Ref<HostObject> re = NewLibraryObject(u"RegExp");
  ASSERT_TRUE(re);
  EXPECT_FALSE(NewLibraryObject(u"Dictionary"));
  Object* o = re.get();
  Let(o, "Pattern", {S(u"(\\d+)-(x)?")});
  Let(o, "Global", {Variant::FromBool(true)});
  const Variant ms = Call(o, "Execute", {S(u"a 12- b 345-x")});
  Object* coll = ms.object();
  EXPECT_EQ(Get(coll, "Count").longVal(), 2);
  const Variant mv = Get(coll, "Item", {L(1)});
  Object* m = mv.object();
  EXPECT_EQ(T(Get(m, "Value")), u"345-x");
  EXPECT_EQ(Get(m, "FirstIndex").longVal(), 8);
  EXPECT_EQ(Get(m, "Length").longVal(), 5);
  const Variant subs = Get(m, "SubMatches");
  EXPECT_EQ(T(Get(subs.object(), "Item", {L(0)})), u"345");
  const Variant first = Get(coll, "Item", {L(0)});
  const Variant firstSubs = Get(first.object(), "SubMatches");
  EXPECT_TRUE(Get(firstSubs.object(), "Item", {L(1)}).IsEmpty());   // group not taken
  EXPECT_EQ(m->FindMember(u"value"), 0);   // Value is the default member
  EXPECT_EQ(o->FindMember(u""), 0);
  EXPECT_EQ(ErrorOf([&] { Get(coll, "Item", {L(2)}); }), 5);

  EXPECT_EQ(T(Call(o, "Replace", {S(u"1-x 2-"), S(u"<$1>")})), u"<1> <2>");
  Let(o, "Global", {Variant::FromBool(false)});
  EXPECT_EQ(T(Call(o, "Replace", {S(u"1-x 2-"), S(u"<$1>")})), u"<1> 2-");
  Let(o, "Pattern", {S(u"ABC")});
  EXPECT_FALSE(Call(o, "Test", {S(u"xabc")}).boolVal());
  Let(o, "IgnoreCase", {Variant::FromBool(true)});
  EXPECT_TRUE(Call(o, "Test", {S(u"xabc")}).boolVal());
  Let(o, "Pattern", {S(u"a(")});
  EXPECT_EQ(ErrorOf([&] { Call(o, "Test", {S(u"a")}); }), 5017);
  EXPECT_FALSE(CreateLibraryObject(u"Excel.Application"));
}

class LibFileSystem : public ::testing::Test {
 protected:
  Variant P(const std::string& name) const { return Variant::FromUtf8((dir_ / name).string()); }
  std::string Bytes(const std::string& name) const { return unittest::FileBytes(dir_ / name); }
  unittest::ScratchFolder scratch_{"vbs_lib_fs"};
  const std::filesystem::path& dir_ = scratch_.path();
  Ref<HostObject> fso_ = CreateLibraryObject(u"Scripting.FileSystemObject");
};

TEST_F(LibFileSystem, WriteThenReadText) {
  Object* f = fso_.get();
  Variant ts = Call(f, "CreateTextFile", {P("out.txt")});
  Call(ts.object(), "WriteLine", {S(u"héllo")});
  Call(ts.object(), "Write", {S(u"a")});
  Call(ts.object(), "WriteBlankLines", {L(1)});
  Call(ts.object(), "Close");
  EXPECT_EQ(Bytes("out.txt"), "h\xC3\xA9llo\r\na\r\n");
  ts = Call(f, "OpenTextFile", {P("out.txt"), L(8)});
  Call(ts.object(), "WriteLine", {S(u"end")});
  EXPECT_EQ(ErrorOf([&] { Call(ts.object(), "ReadLine"); }), 54);
  Call(ts.object(), "Close");

  const Variant rv = Call(f, "OpenTextFile", {P("out.txt")});
  Object* r = rv.object();
  EXPECT_EQ(T(Call(r, "ReadLine")), u"héllo");
  EXPECT_EQ(Get(r, "Line").longVal(), 2);
  EXPECT_EQ(T(Call(r, "Read", {L(1)})), u"a");
  EXPECT_TRUE(Get(r, "AtEndOfLine").boolVal());
  Call(r, "SkipLine");
  EXPECT_EQ(T(Call(r, "ReadAll")), u"end\r\n");
  EXPECT_TRUE(Get(r, "AtEndOfStream").boolVal());
  EXPECT_EQ(ErrorOf([&] { Call(r, "ReadLine"); }), 62);
}

TEST_F(LibFileSystem, ReadsCp932AndMissingFiles) {
  {
    std::ofstream out(dir_ / "sjis.txt", std::ios::binary);
    out << "\x93\xfa\x96\x7b\r\nx";   // "日本" in CP932
  }
  Object* f = fso_.get();
  const Variant rv = Call(f, "OpenTextFile", {P("sjis.txt"), L(1)});
  Object* r = rv.object();
  EXPECT_EQ(T(Call(r, "ReadLine")), u"日本");
  EXPECT_EQ(ErrorOf([&] { Call(f, "OpenTextFile", {P("none.txt")}); }), 53);
  EXPECT_EQ(ErrorOf([&] { Call(f, "OpenTextFile", {P("none.txt"), L(2)}); }), 53);
  EXPECT_EQ(ErrorOf([&] { Call(f, "OpenTextFile", {P("nodir/x.txt"), L(2), Variant::FromBool(true)}); }), 76);
  EXPECT_EQ(ErrorOf([&] { Call(f, "GetFile", {P("none.txt")}); }), 53);
  EXPECT_EQ(ErrorOf([&] { Call(f, "GetFolder", {P("nodir")}); }), 76);
  EXPECT_EQ(ErrorOf([&] { Call(f, "DeleteFile", {P("none.txt")}); }), 53);
  EXPECT_EQ(ErrorOf([&] { Call(f, "CreateTextFile", {P("sjis.txt"), Variant::FromBool(false)}); }), 58);
}

TEST_F(LibFileSystem, FoldersFilesAndPaths) {
  Object* f = fso_.get();
  Call(f, "CreateFolder", {P("sub")});
  EXPECT_TRUE(Call(f, "FolderExists", {P("sub")}).boolVal());
  EXPECT_EQ(ErrorOf([&] { Call(f, "CreateFolder", {P("sub")}); }), 58);
  for (const char* n : {"b.vbs", "A.vbs"}) Call(Call(f, "CreateTextFile", {P(n)}).object(), "Write", {S(u"xyz")});
  const Variant folderV = Call(f, "GetFolder", {Variant::FromUtf8(dir_.string())});
  Object* folder = folderV.object();
  const Variant filesV = Get(folder, "Files");
  Object* files = filesV.object();
  EXPECT_EQ(Get(files, "Count").longVal(), 2);
  std::vector<Variant> items;
  ASSERT_TRUE(files->Enumerate(items));
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(T(Get(items[0].object(), "Name")), u"A.vbs");
  EXPECT_EQ(Get(items[1].object(), "Size").longVal(), 3);
  const Variant subs = Get(folder, "SubFolders");
  EXPECT_EQ(Get(subs.object(), "Count").longVal(), 1);
  const Variant file = Call(f, "GetFile", {P("b.vbs")});
  const Variant parent = Get(file.object(), "ParentFolder");
  EXPECT_EQ(T(Get(parent.object(), "Path")), T(Get(folder, "Path")));
  Call(f, "DeleteFile", {P("b.vbs")});
  EXPECT_FALSE(Call(f, "FileExists", {P("b.vbs")}).boolVal());

  EXPECT_EQ(T(Call(f, "BuildPath", {S(u"C:\\lib"), S(u"a.vbs")})), u"C:\\lib\\a.vbs");
  EXPECT_EQ(T(Call(f, "BuildPath", {S(u"/lib/"), S(u"a.vbs")})), u"/lib/a.vbs");
  EXPECT_EQ(T(Call(f, "GetBaseName", {S(u"C:\\x\\data.tar.gz")})), u"data.tar");
  EXPECT_EQ(T(Call(f, "GetExtensionName", {S(u"/x/data.tar.gz")})), u"gz");
  EXPECT_EQ(T(Call(f, "GetExtensionName", {S(u"/x/readme")})), u"");
  EXPECT_EQ(T(Call(f, "GetFileName", {S(u"/x/y/")})), u"y");
  EXPECT_EQ(T(Call(f, "GetParentFolderName", {S(u"C:\\x\\y.txt")})), u"C:\\x");
  EXPECT_EQ(T(Call(f, "GetParentFolderName", {S(u"/a")})), u"/");
  EXPECT_EQ(T(Call(f, "GetParentFolderName", {S(u"y.txt")})), u"");
  EXPECT_EQ(T(Call(f, "GetAbsolutePathName", {S(u"/a/b/../c/./d")})), u"/a/c/d");
}
