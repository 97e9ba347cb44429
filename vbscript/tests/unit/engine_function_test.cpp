// Expressions compiled once as functions of their own parameters, called
// many times in one host call.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "vbs/engine.h"
#include "vbs/value_conv.h"
#include "test_support.h"

namespace vbs {
namespace {

struct Outcome {
  std::vector<double> values;  // NaN where the call raised
  std::vector<int> errors;     // 0 where it did not
};

Outcome CallAt(Engine& e, const CompiledFunction& fn, const std::vector<double>& xs) {
  std::vector<Variant> args;
  for (double x : xs) args.push_back(Variant::FromDouble(x));
  Outcome out;
  EXPECT_TRUE(e.CallFunction(fn, args, [&](size_t, const Variant& v, const ErrorInfo* err) {
    out.errors.push_back(err ? err->Number : 0);
    out.values.push_back(err ? std::nan("") : ToDouble(v));
  }));
  return out;
}

std::shared_ptr<const CompiledFunction> Compile(Engine& e, std::u16string_view text) {
  const std::u16string x = u"x";
  return e.CompileFunction(std::span<const std::u16string>(&x, 1), text);
}

TEST(EngineFunction, ParameterIsItsOwnAndGlobalsStayUntouched) {
  Engine e;
  ASSERT_TRUE(e.AddCode(u"Dim x\r\nx = 100\r\nFunction Sq(v)\r\nSq = v * v\r\nEnd Function\r\n"
                        u"Const K = 3\r\n"));
  auto fn = Compile(e, u"Sq(x) + K");
  ASSERT_TRUE(fn);
  const Outcome o = CallAt(e, *fn, {1, 2, -3});
  EXPECT_EQ(o.values, (std::vector<double>{4, 7, 12}));
  EXPECT_EQ(unittest::EvalText(e, u"x"), u"100");

  // A name the user never declared is not created as a global by the calls.
  Engine fresh;
  auto g = Compile(fresh, u"X * 2");
  ASSERT_TRUE(g);
  EXPECT_EQ(CallAt(fresh, *g, {5}).values, std::vector<double>{10});
  EXPECT_EQ(unittest::EvalText(fresh, u"IsEmpty(x)"), u"True");
}

TEST(EngineFunction, RaisingCallsAreReportedOneByOneAndTheRestRun) {
  Engine e;
  auto fn = Compile(e, u"1 / x + Sqr(x)");
  ASSERT_TRUE(fn);
  const Outcome o = CallAt(e, *fn, {1, 0, -4, 4});
  EXPECT_EQ(o.errors, (std::vector<int>{0, 11, 5, 0}));
  EXPECT_EQ(o.values[0], 2);
  EXPECT_EQ(o.values[3], 2.25);

  // An error inside a library function is the call's, with its text.
  ASSERT_TRUE(e.AddCode(u"Function Boom(v)\r\nErr.Raise 1234, \"src\", \"boom\"\r\nEnd Function\r\n"));
  auto b = Compile(e, u"Boom(x)");
  std::u16string text;
  ASSERT_TRUE(e.CallFunction(*b, std::vector<Variant>{Variant::FromDouble(1)},
                             [&](size_t, const Variant&, const ErrorInfo* err) {
                               ASSERT_TRUE(err);
                               EXPECT_EQ(err->Number, 1234);
                               text = err->Description;
                             }));
  EXPECT_EQ(text, u"boom");
}

TEST(EngineFunction, CompileErrorsAreRecordedAndNothingIsCompiled) {
  Engine e;
  EXPECT_FALSE(Compile(e, u"Sin(x"));
  EXPECT_TRUE(e.Error().IsCompileError);
  EXPECT_NE(e.Error().Number, 0);
  // One expression only: a statement separator does not smuggle one in.
  EXPECT_FALSE(Compile(e, u"1 : y = 2"));
  const std::u16string twice[] = {u"a", u"A"};
  EXPECT_FALSE(e.CompileFunction(twice, u"a"));
}

TEST(EngineFunction, SeveralParametersTakeTheirArgumentsInGroups) {
  Engine e;
  const std::u16string params[] = {u"a", u"b"};
  auto fn = e.CompileFunction(params, u"a - b");
  ASSERT_TRUE(fn);
  std::vector<Variant> args = {Variant::FromDouble(5), Variant::FromDouble(1),
                               Variant::FromDouble(2), Variant::FromDouble(7)};
  std::vector<double> got;
  ASSERT_TRUE(e.CallFunction(*fn, args, [&](size_t, const Variant& v, const ErrorInfo*) {
    got.push_back(ToDouble(v));
  }));
  EXPECT_EQ(got, (std::vector<double>{4, -5}));
}

TEST(EngineFunction, AFunctionOfAnEarlierEngineStateIsRefused) {
  Engine e;
  auto fn = Compile(e, u"x + 1");
  e.Reset();
  bool called = false;
  EXPECT_FALSE(e.CallFunction(*fn, std::vector<Variant>{Variant::FromDouble(1)},
                              [&](size_t, const Variant&, const ErrorInfo*) { called = true; }));
  EXPECT_FALSE(called);
  EXPECT_EQ(e.Error().Number, 5);
  Engine other;
  auto mine = Compile(other, u"x");
  EXPECT_FALSE(e.CallFunction(*mine, std::vector<Variant>{Variant::FromDouble(1)},
                              [&](size_t, const Variant&, const ErrorInfo*) { called = true; }));
  EXPECT_FALSE(called);
}

TEST(EngineFunction, StopEndsAllTheCalls) {
  Engine e;
  // Plain arithmetic: no loop or call of its own that would look for a stop.
  auto fn = Compile(e, u"x * 2");
  ASSERT_TRUE(fn);
  std::vector<Variant> args(2'000'000, Variant::FromDouble(1));
  std::atomic<size_t> done{0};
  std::thread stopper([&] {
    while (done.load() < 1000) std::this_thread::yield();
    e.RequestInterrupt();
  });
  const bool ok = e.CallFunction(*fn, args, [&](size_t, const Variant&, const ErrorInfo*) { ++done; });
  stopper.join();
  EXPECT_FALSE(ok);
  EXPECT_EQ(e.Error().Number, kErrInterrupted);
  EXPECT_LT(done.load(), args.size());
}

}  // namespace
}  // namespace vbs
