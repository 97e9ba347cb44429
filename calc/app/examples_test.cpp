// The sample library runs on the program's engine: its functions ask for
// their values through zelIO and compute the textbook results.
#include <cmath>
#include <deque>

#include "calc_test_support.h"

namespace zel::test {
namespace {

// Plays the user at the input dialog: answers getData from a queue and
// records what the script prepared before each question.
class ScriptedIO : public vbs::HostObject {
 public:
  struct Question {
    QString caption, defaultText, title;
    int uid = -1, subIU = -1;
    QStringList items;
  };
  std::deque<QString> answers;
  std::vector<Question> asked;

  int FindMember(std::u16string_view name) const override {
    const QString n = ToQ(name).toLower();
    const QStringList names{"addlistitem", "clearlistitem", "setguidepicture", "setunitid", "getdata"};
    const int i = int(names.indexOf(n));
    return i < 0 ? -1 : i + 1;
  }
  void Invoke(int member, vbs::InvokeKind, vbs::Args& args, vbs::Variant& result) override {
    switch (member) {
      case 1: items_ << ToQ(vbs::ToText(args[0])); break;
      case 2: items_.clear(); break;
      case 3: break;
      case 4:
        uid_ = int(vbs::ToDouble(args[0]));
        subIU_ = args.Missing(1) ? 0 : int(vbs::ToDouble(args[1]));
        break;
      case 5: {
        Question q{ToQ(vbs::ToText(args[0])),
                   args.Missing(1) ? QString() : ToQ(vbs::ToText(args[1])),
                   args.Missing(2) ? QStringLiteral("User Input") : ToQ(vbs::ToText(args[2])),
                   uid_, subIU_, items_};
        asked.push_back(q);
        QString a = answers.empty() ? q.defaultText : answers.front();
        if (!answers.empty()) answers.pop_front();
        result = vbs::Variant::FromString(ToU16(a));
        break;
      }
      default: throw vbs::ScriptError(438);
    }
  }
  std::u16string TypeName() const override { return u"zelIOModule"; }

 private:
  QStringList items_;
  int uid_ = -1, subIU_ = -1;
};

class ExamplesTest : public CalcFixture {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    QDir src(QStringLiteral(ZEL_EXAMPLES_DIR));
    const QStringList files = src.entryList({"*.vbs"}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& f : files) ASSERT_TRUE(QFile::copy(src.filePath(f), QDir(LibDir()).filePath(f)));
    io_ = new ScriptedIO;
    session_.gCreateIOObject = [this] { return vbs::Ref<vbs::HostObject>(io_); };
    ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
    ASSERT_TRUE(Prompts().Asked().empty()) << Prompts().Asked()[0].text.toStdString();
  }
  double Number(const char* expression) {
    vbs::Variant v = EvaluateExpression(session_, QString::fromUtf8(expression).toStdU16String());
    EXPECT_TRUE(Prompts().Asked().empty()) << expression;
    return vbs::ToDouble(v);
  }
  ScriptedIO* io_ = nullptr;
};

TEST_F(ExamplesTest, DirectFormulas) {
  EXPECT_NEAR(Number("PipeArea(100)"), 0.00785398, 1e-7);
  EXPECT_NEAR(Number("Reynolds(1000, 2, 50, 1)"), 100000, 1e-6);
  EXPECT_NEAR(Number("DarcyFriction(1000, 0.045, 50)"), 0.064, 1e-12);
  EXPECT_NEAR(Number("LMTD(150, 90, 30, 70)"), 20 / std::log(80.0 / 60.0), 1e-9);
  EXPECT_NEAR(Number("HeatDuty(3600, 4.18, 10)"), 41.8, 1e-9);
}

TEST_F(ExamplesTest, PressureDropAsksEachValueInItsUnit) {
  io_->answers = {"10", "52.7", "100", "998.2", "1.002", "0.045", "kPa"};
  const double kpa = Number("PressureDropAsk()");
  // 10 m3/h of water through 100 m of 50A steel pipe: about 35 kPa.
  EXPECT_NEAR(kpa, 35.08, 0.1);
  ASSERT_EQ(io_->asked.size(), 7u);
  EXPECT_EQ(io_->asked[0].uid, 8);    // volume rate
  EXPECT_EQ(io_->asked[0].subIU, 1);  // m3/h
  EXPECT_EQ(io_->asked[1].uid, 2);    // length, mm
  EXPECT_EQ(io_->asked[1].subIU, 1);
  EXPECT_EQ(io_->asked[1].items, (QStringList{"27.2", "52.7", "102.3", "154.1", "202.7"}));
  EXPECT_EQ(io_->asked[1].defaultText, "52.7");  // Enter alone must not end the questions
  EXPECT_EQ(io_->asked[4].uid, 11);   // viscosity, cP
  EXPECT_EQ(io_->asked[5].items, (QStringList{"0.045", "0.0015", "0.26"}));
  EXPECT_EQ(io_->asked[6].items, (QStringList{"kPa", "bar", "psi", "mH2O"}));
  EXPECT_EQ(io_->asked[0].title, "Pressure drop (Darcy-Weisbach)");

  io_->asked.clear();
  io_->answers = {"10", "52.7", "100", "998.2", "1.002", "0.045", "bar"};
  EXPECT_NEAR(Number("PressureDropAsk()"), kpa / 100, 1e-9);
}

TEST_F(ExamplesTest, CancelEndsTheQuestionsWithNothing) {
  io_->answers = {"1000", ""};
  vbs::Variant v = EvaluateExpression(session_, u"ReynoldsAsk()");
  EXPECT_EQ(v.type(), vbs::vbEmpty);
  EXPECT_EQ(io_->asked.size(), 2u);
}

TEST_F(ExamplesTest, NonNumericAnswerIsAskedAgain) {
  io_->answers = {"abc", "27.2"};
  EXPECT_NEAR(Number("PipeAreaAsk()"), 3.14159265358979 * 0.0272 * 0.0272 / 4, 1e-12);
  ASSERT_EQ(io_->asked.size(), 2u);
  EXPECT_TRUE(io_->asked[1].caption.startsWith("Not a number: abc"));
}

}  // namespace
}  // namespace zel::test
