// Recursive-descent parser for the language. Tokens of the whole text are
// read first, so that a call statement such as `Foo (a) + 1, b` can be
// re-read when its first parenthesis turns out to start an argument.
#include "engine/parser.h"

#include <memory>
#include <utility>

#include "engine/lexer.h"
#include "engine/stack_guard.h"

namespace vbs {
namespace {

// Compile error numbers.
enum : int {
  kSyntax = 1002,
  kExpLParen = 1005,
  kExpRParen = 1006,
  kExpIdent = 1010,
  kExpEq = 1011,
  kExpIf = 1012,
  kExpTo = 1013,
  kExpEnd = 1014,
  kExpFunction = 1015,
  kExpSub = 1016,
  kExpThen = 1017,
  kExpWend = 1018,
  kExpLoop = 1019,
  kExpNext = 1020,
  kExpCase = 1021,
  kExpSelect = 1022,
  kExpExpr = 1023,
  kExpStmt = 1024,
  kExpEos = 1025,
  kExpInt = 1026,
  kExpWhileUntil = 1028,
  kExpWith = 1029,
  kInvalidExit = 1039,
  kParensSub = 1044,
  kExpLiteral = 1045,
  kExpIn = 1046,
  kExpClass = 1047,
  kExpLetSetGet = 1049,
  kExpProperty = 1050,
  kMultiDefault = 1052,
  kOutOfStack = 28,
};

// Tokens in fixed chunks: reading more never moves a token already read,
// finished chunks can be dropped, and indexing stays a shift and a mask.
class TokenBuf {
 public:
  Token& at(size_t i) { return chunks_[(i >> kShift) - first_][i & kMask]; }
  const Token& at(size_t i) const { return chunks_[(i >> kShift) - first_][i & kMask]; }
  size_t size() const { return size_; }
  // The slot the next token goes to; Commit() makes it part of the buffer.
  // Reused slots keep their text buffers, so lexing allocates little.
  Token& NextSlot() {
    if ((size_ >> kShift) - first_ >= chunks_.size()) {
      if (!spare_.empty()) {
        chunks_.push_back(std::move(spare_.back()));
        spare_.pop_back();
      } else {
        chunks_.emplace_back(new Token[kChunk]);
      }
    }
    return at(size_);
  }
  void Commit() { ++size_; }
  const Token& back() const { return at(size_ - 1); }
  // Frees the chunks that lie wholly before index i.
  void DropBefore(size_t i) {
    size_t c = i >> kShift;
    size_t n = c > first_ ? c - first_ : 0;
    if (n == 0) return;
    // Dropped chunks are kept for reuse: their tokens keep their buffers.
    for (size_t k = 0; k < n; ++k) spare_.push_back(std::move(chunks_[k]));
    chunks_.erase(chunks_.begin(), chunks_.begin() + std::ptrdiff_t(n));
    first_ += n;
  }

 private:
  static constexpr size_t kShift = 9, kChunk = size_t(1) << kShift, kMask = kChunk - 1;
  std::vector<std::unique_ptr<Token[]>> chunks_;
  std::vector<std::unique_ptr<Token[]>> spare_;
  size_t first_ = 0;
  size_t size_ = 0;
};

// Where a node starts: all a node takes from its first token.
struct Pos {
  int line;
  int col;
  Pos(const Token& t) : line(t.line), col(t.col) {}  // NOLINT: implicit on purpose
};

class Parser {
 public:
  // Tokens are read on demand and dropped once a statement is done with
  // them, so a large text never has all its tokens in memory at once.
  explicit Parser(std::u16string_view text) : lx_(text) { Fill(0); }

  std::unique_ptr<Program> ParseAll(bool& optionExplicit) {
    auto prog = std::make_unique<Program>();
    prog_ = prog.get();
    NodeArenaScope arena(prog->arena.get());
    SkipNewlines();
    // Option Explicit must come before any other statement.
    if (IsKw(Kw::Option)) {
      Advance();
      if (!IsKw(Kw::Explicit)) Fail(kSyntax);
      Advance();
      optionExplicit = true;
      EndOfStatement();
      SkipNewlines();
    }
    while (!AtEnd()) {
      ParseTopStatement(prog->top);
      SkipNewlines();
    }
    return prog;
  }

  ExprP ParseOnlyExpression() {
    SkipNewlines();
    ExprP e = ParseExpr();
    SkipNewlines();
    if (!AtEnd()) Fail(kExpEos);
    return e;
  }

 private:
  // ---- token helpers ----------------------------------------------------
  // Makes token idx available, lexing a few tokens ahead at a time. A
  // lexing error is kept until the parser reaches that token, so errors
  // still come in text order.
  void Fill(size_t idx) const {
    if (toks_.size() > idx || ended_) return;
    if (lexError_) throw *lexError_;
    const size_t want = idx + kLookahead;
    try {
      while (toks_.size() <= want) {
        Token& t = toks_.NextSlot();
        lx_.Next(t);
        toks_.Commit();
        if (t.type == Tok::End) {
          ended_ = true;
          return;
        }
      }
    } catch (const LexError& e) {
      lexError_ = std::make_unique<CompileError>(CompileError{e.number, e.line, e.col});
      if (toks_.size() <= idx) throw *lexError_;
    }
  }
  static constexpr size_t kLookahead = 32;
  // The current token, cached: the parser asks for it many times per token.
  __attribute__((always_inline)) const Token& Cur() const {
    if (curPos_ == pos_ && cur_) return *cur_;
    return CurSlow();
  }
  __attribute__((noinline)) const Token& CurSlow() const {
    if (pos_ >= toks_.size()) Fill(pos_);
    cur_ = &toks_.at(pos_ < toks_.size() ? pos_ : toks_.size() - 1);
    curPos_ = pos_;
    return *cur_;
  }
  const Token& PeekTok(size_t k = 1) const {
    Fill(pos_ + k);
    return toks_.at(pos_ + k < toks_.size() ? pos_ + k : toks_.size() - 1);
  }
  void Advance() {
    if (pos_ + 1 >= toks_.size()) Fill(pos_ + 1);
    if (pos_ + 1 < toks_.size()) {
      ++pos_;
      cur_ = &toks_.at(pos_);
      curPos_ = pos_;
    }
  }
  // Forgets tokens before the current one (no saved position may be live).
  void Compact() { toks_.DropBefore(pos_); }
  __attribute__((always_inline)) bool AtEnd() const { return Cur().type == Tok::End; }
  __attribute__((always_inline)) bool IsKw(Kw k) const { return Cur().type == Tok::Ident && Cur().kw == k; }
  __attribute__((always_inline)) bool IsOp(OpK o) const { return Cur().type == Tok::Op && Cur().op == o; }
  __attribute__((always_inline)) bool IsEos() const { return Cur().type == Tok::Newline || Cur().type == Tok::End; }
  [[noreturn]] void Fail(int number) const { throw CompileError{number, Cur().line, Cur().col}; }
  [[noreturn]] void FailAt(int number, Pos t) const { throw CompileError{number, t.line, t.col}; }
  void ExpectKw(Kw k, int err) {
    if (!IsKw(k)) Fail(err);
    Advance();
  }
  void ExpectOp(OpK o, int err) {
    if (!IsOp(o)) Fail(err);
    Advance();
  }
  void SkipNewlines() {
    while (Cur().type == Tok::Newline) Advance();
  }
  void EndOfStatement() {
    if (Cur().type == Tok::End) return;
    // "Sub F() x = 1 End Sub": the End of a block may follow a statement
    // on its line; the block's parser checks it.
    if (IsBlockEnd()) return;
    if (noEosDepth_ > 0) {
      // Inside a single-line If: a statement ends at ':', at the line end
      // (left for the If) or before Else.
      if (IsKw(Kw::Else)) return;
      if (Cur().type == Tok::Newline) {
        if (Cur().colon) Advance();
        return;
      }
      Fail(kExpEos);
    }
    if (Cur().type != Tok::Newline) Fail(kExpEos);
    Advance();
  }
  // A name usable for a variable or procedure.
  std::u16string ExpectName() { return std::u16string(ExpectNameView()); }
  // The same as a view of the source text.
  std::u16string_view ExpectNameView() {
    if (Cur().type != Tok::Ident || IsReservedKeyword(Cur().kw)) Fail(kExpIdent);
    std::u16string_view n = Cur().word;
    Advance();
    return n;
  }
  // A member name after '.': any word (a view of the source text).
  std::u16string_view ExpectMemberName() {
    if (Cur().type != Tok::Ident) Fail(kExpIdent);
    std::u16string_view n = Cur().word;
    Advance();
    return n;
  }
  void Guard() {
    if (StackExhausted()) Fail(kOutOfStack);
  }
  // Is the current token the `End <kw>` pair?
  bool IsEnd(Kw k) const {
    return IsKw(Kw::End) && PeekTok().type == Tok::Ident && PeekTok().kw == k;
  }
  // An End that closes a block (End is no statement of its own).
  bool IsBlockEnd() const {
    if (!IsKw(Kw::End) || PeekTok().type != Tok::Ident) return false;
    Kw k = PeekTok().kw;
    return k == Kw::If || k == Kw::Sub || k == Kw::Function || k == Kw::Property || k == Kw::Class ||
           k == Kw::Select || k == Kw::With;
  }
  // Where a statement without parentheses has no (more) arguments.
  bool AtStatementEnd() const { return IsEos() || IsKw(Kw::Else) || IsBlockEnd(); }

  // ---- expressions ------------------------------------------------------
  template <class T>
  NodeP<T> Node(Pos at) {
    auto n = MakeNode<T>();
    n->line = at.line;
    n->col = at.col;
    return n;
  }

  ExprP Bin(BinOp op, ExprP l, ExprP r, Pos at) {
    auto b = Node<BinaryExpr>(at);
    b->op = op;
    if (l->kind == Expr::Binary) b->chain = static_cast<BinaryExpr*>(l.get())->chain + 1;
    b->lhs = std::move(l);
    b->rhs = std::move(r);
    return b;
  }

  ExprP ParseExpr() {
    Guard();
    return ParseBinary(kImpPrec);
  }
  // Binding strength of the binary operators, loosest first. Not sits
  // between And and the comparisons: Not a = b is Not (a = b).
  enum : int {
    kImpPrec = 1, kEqvPrec, kXorPrec, kOrPrec, kAndPrec, kNotPrec, kComparePrec, kConcatPrec,
    kAddPrec, kModPrec, kIntDivPrec, kMulPrec,
  };
  // The current token as a binary operator: its strength (0 = none).
  int BinaryPrec(BinOp& op) const {
    const Token& t = Cur();
    if (t.type == Tok::Op) {
      switch (t.op) {
        case OpK::Star: op = BinOp::Mul; return kMulPrec;
        case OpK::Slash: op = BinOp::Div; return kMulPrec;
        case OpK::Backslash: op = BinOp::IntDiv; return kIntDivPrec;
        case OpK::Plus: op = BinOp::Add; return kAddPrec;
        case OpK::Minus: op = BinOp::Sub; return kAddPrec;
        case OpK::Amp: op = BinOp::Concat; return kConcatPrec;
        case OpK::Eq: op = BinOp::Eq; return kComparePrec;
        case OpK::Ne: op = BinOp::Ne; return kComparePrec;
        case OpK::Lt: op = BinOp::Lt; return kComparePrec;
        case OpK::Gt: op = BinOp::Gt; return kComparePrec;
        case OpK::Le: op = BinOp::Le; return kComparePrec;
        case OpK::Ge: op = BinOp::Ge; return kComparePrec;
        default: return 0;
      }
    }
    if (t.type == Tok::Ident) {
      switch (t.kw) {
        case Kw::Mod: op = BinOp::Mod; return kModPrec;
        case Kw::Is: op = BinOp::Is; return kComparePrec;
        case Kw::And: op = BinOp::And; return kAndPrec;
        case Kw::Or: op = BinOp::Or; return kOrPrec;
        case Kw::Xor: op = BinOp::Xor; return kXorPrec;
        case Kw::Eqv: op = BinOp::Eqv; return kEqvPrec;
        case Kw::Imp: op = BinOp::Imp; return kImpPrec;
        default: return 0;
      }
    }
    return 0;
  }
  // Operators at least as strong as minPrec, all left-associative: one
  // loop instead of a function per level.
  ExprP ParseBinary(int minPrec) {
    ExprP l = minPrec <= kNotPrec && IsKw(Kw::Not) ? ParseNot() : ParseUnary();
    for (;;) {
      BinOp op;
      const int prec = BinaryPrec(op);
      if (prec < minPrec || prec == 0) return l;
      Pos t = Cur();
      Advance();
      if (op == BinOp::Eq && !Cur().spaceBefore) {
        // "=<" and "=>" are accepted as "<=" and ">="
        if (IsOp(OpK::Lt)) { op = BinOp::Le; Advance(); }
        else if (IsOp(OpK::Gt)) { op = BinOp::Ge; Advance(); }
      }
      l = Bin(op, std::move(l), ParseBinary(prec + 1), t);
    }
  }
  // Not ...: its operand is a comparison (or another Not).
  ExprP ParseNot() {
    Guard();
    Pos t = Cur();
    Advance();
    auto u = Node<UnaryExpr>(t);
    u->op = UnOp::Not;
    u->operand = IsKw(Kw::Not) ? ParseNot() : ParseBinary(kComparePrec);
    return u;
  }
  ExprP ParseConcat() { return ParseBinary(kConcatPrec); }
  // Negation binds tighter than "^" in this language: -3^2 is 9.
  ExprP ParseUnary() { return ParsePowTail(ParseSigned()); }
  ExprP ParseSigned() {
    if (!(IsOp(OpK::Minus) || IsOp(OpK::Plus))) return ParsePostfix();
    Guard();
    Pos t = Cur();
    bool neg = IsOp(OpK::Minus);
    Advance();
    ExprP operand = ParseSigned();
    // Fold negated numeric literals. The sign is an operator, so the
    // literal keeps its own type: -32768 is the Long 32768 negated.
    if (neg && operand->kind == Expr::Literal) {
      auto* lit = static_cast<LiteralExpr*>(operand.get());
      const Variant& v = lit->value;
      if (v.type() == vbInteger && v.intVal() != INT16_MIN) {
        lit->value = Variant::FromInteger(int16_t(-v.intVal()));
        return operand;
      }
      if (v.type() == vbLong && v.longVal() != INT32_MIN) {
        lit->value = Variant::FromLong(-v.longVal());
        return operand;
      }
      if (v.type() == vbDouble) {
        lit->value = Variant::FromDouble(-v.doubleVal());
        return operand;
      }
    }
    auto u = Node<UnaryExpr>(t);
    u->op = neg ? UnOp::Neg : UnOp::Plus;
    u->operand = std::move(operand);
    return u;
  }
  ExprP ParsePowTail(ExprP l) {
    while (IsOp(OpK::Caret)) {
      Pos t = Cur();
      Advance();
      ExprP r = ParseSigned();
      l = Bin(BinOp::Pow, std::move(l), std::move(r), t);
    }
    return l;
  }

  // Argument list after '(' up to ')'; omitted arguments are nullptr.
  ExprList ParseParenArgs() {
    ExprList args;
    ExpectOp(OpK::LParen, kExpLParen);
    if (IsOp(OpK::RParen)) {
      Advance();
      return args;
    }
    for (;;) {
      if (IsOp(OpK::Comma)) {
        args.push_back(nullptr);
        Advance();
        continue;
      }
      if (IsOp(OpK::RParen)) {
        args.push_back(nullptr);
        Advance();
        return args;
      }
      args.push_back(ParseExpr());
      if (IsOp(OpK::Comma)) {
        Advance();
        if (IsOp(OpK::RParen)) {
          args.push_back(nullptr);
          Advance();
          return args;
        }
        continue;
      }
      ExpectOp(OpK::RParen, kExpRParen);
      return args;
    }
  }

  ExprP ParsePrimary() {
    Guard();
    const Token& t = Cur();
    switch (t.type) {
      case Tok::Number:
      case Tok::Date: {
        auto l = Node<LiteralExpr>(t);
        l->value = t.value;
        Advance();
        return l;
      }
      case Tok::String: {
        auto l = Node<LiteralExpr>(t);
        SetNodeValue(l->value, Variant::FromString(t.text));
        Advance();
        return l;
      }
      case Tok::Dot: {
        // .member inside With
        Pos at = t;
        Advance();
        auto m = Node<MemberExpr>(at);
        m->name = ArenaText(ExpectMemberName());
        return m;
      }
      case Tok::Op:
        if (t.op == OpK::LParen) {
          Pos at = t;
          Advance();
          auto p = Node<ParenExpr>(at);
          p->inner = ParseExpr();
          ExpectOp(OpK::RParen, kExpRParen);
          return p;
        }
        Fail(kExpExpr);
      case Tok::Ident: {
        Pos at = t;
        switch (t.kw) {
          case Kw::True:
          case Kw::False: {
            auto l = Node<LiteralExpr>(at);
            l->value = Variant::FromBool(t.kw == Kw::True);
            Advance();
            return l;
          }
          case Kw::Empty: {
            auto l = Node<LiteralExpr>(at);
            Advance();
            return l;
          }
          case Kw::Null: {
            auto l = Node<LiteralExpr>(at);
            l->value = Variant::Null();
            Advance();
            return l;
          }
          case Kw::Nothing: {
            auto l = Node<LiteralExpr>(at);
            SetNodeValue(l->value, Variant::Nothing());
            Advance();
            return l;
          }
          case Kw::Me: {
            Advance();
            return MakeExpr(at, Expr::Me);
          }
          case Kw::New: {
            Advance();
            auto n = Node<NewExpr>(at);
            n->className = ExpectName();
            return n;
          }
          default:
            break;
        }
        if (IsReservedKeyword(t.kw)) Fail(kExpExpr);
        auto n = Node<NameExpr>(at);
        n->name = ArenaText(t.word);
        Advance();
        return n;
      }
      default:
        Fail(kExpExpr);
    }
  }

  ExprP MakeExpr(Pos at, Expr::Kind k) {
    auto e = MakeNode<Expr>(k);
    e->line = at.line;
    e->col = at.col;
    return e;
  }

  // Applies "(args)" to an expression that already exists.
  ExprP ApplyArgs(ExprP e, ExprList args, Pos at) {
    if (e->kind == Expr::Name) {
      auto* n = static_cast<NameExpr*>(e.get());
      if (!n->hasParens) {
        n->hasParens = true;
        n->args = std::move(args);
        return e;
      }
    } else if (e->kind == Expr::Member) {
      auto* m = static_cast<MemberExpr*>(e.get());
      if (!m->hasParens) {
        m->hasParens = true;
        m->args = std::move(args);
        return e;
      }
    }
    auto c = Node<CallExpr>(at);
    c->callee = std::move(e);
    c->args = std::move(args);
    return c;
  }

  ExprP ParsePostfix() {
    ExprP e = ParsePrimary();
    return ParseSuffixes(std::move(e));
  }
  ExprP ParseSuffixes(ExprP e) {
    for (;;) {
      // A '.' after a blank starts a With member (Echo .Count), not a
      // member of what precedes it.
      if ((Cur().type == Tok::Dot || (IsOp(OpK::Dot) && PeekTok().type == Tok::Ident)) && !Cur().spaceBefore) {
        Pos at = Cur();
        Advance();
        auto m = Node<MemberExpr>(at);
        m->obj = std::move(e);
        m->name = ArenaText(ExpectMemberName());
        e = std::move(m);
        continue;
      }
      if (IsOp(OpK::LParen)) {
        // Literals and New cannot take arguments.
        if (e->kind == Expr::Literal || e->kind == Expr::New) return e;
        Pos at = Cur();
        auto args = ParseParenArgs();
        e = ApplyArgs(std::move(e), std::move(args), at);
        continue;
      }
      return e;
    }
  }

  // ---- statements -------------------------------------------------------
  template <class T>
  NodeP<T> SNode(Pos at) {
    auto n = MakeNode<T>();
    n->line = at.line;
    n->col = at.col;
    return n;
  }

  void ParseTopStatement(Block& out) {
    const Token& t = Cur();
    if (t.type == Tok::Ident) {
      switch (t.kw) {
        case Kw::Class:
          ParseClass();
          return;
        case Kw::Sub:
        case Kw::Function:
          prog_->procs.push_back(ParseProc(false, false, nullptr));
          return;
        case Kw::Property:
          Fail(1048);  // Must be defined inside a Class
        case Kw::Public:
        case Kw::Private: {
          Kw nk = PeekTok().kw;
          if (PeekTok().type == Tok::Ident && (nk == Kw::Sub || nk == Kw::Function)) {
            bool pub = t.kw == Kw::Public;
            Advance();
            prog_->procs.push_back(ParseProc(pub, false, nullptr));
            return;
          }
          if (PeekTok().type == Tok::Ident && nk == Kw::Default) FailAt(1048, PeekTok());
          break;
        }
        default:
          break;
      }
    }
    ParseStatement(out, false);
  }

  // Statements inside a block until one of the terminators (not consumed).
  template <class Pred>
  void ParseBlock(Block& out, Pred isEnd, int errIfEof) {
    int saved = noEosDepth_;
    noEosDepth_ = 0;
    struct Restore {
      int& d;
      int v;
      ~Restore() { d = v; }
    } restore{noEosDepth_, saved};
    for (;;) {
      SkipNewlines();
      if (AtEnd()) Fail(errIfEof);
      if (isEnd()) return;
      ParseStatement(out, true);
    }
  }

  void ParseStatement(Block& out, bool /*nested*/) {
    Guard();
    Compact();
    // The token's position and kind only: nested statements may recycle
    // the token's storage.
    const Pos t = Cur();
    const Tok type = Cur().type;
    const Kw kw = Cur().kw;
    if (type == Tok::Dot) {
      ParseSimple(out);
      return;
    }
    if (type != Tok::Ident) Fail(kExpStmt);
    switch (kw) {
      case Kw::Dim:
        Advance();
        PushDecl(out, ParseDimList(t));
        EndOfStatement();
        return;
      case Kw::Public:
      case Kw::Private:
        if (!proc_ && noEosDepth_ == 0 && PeekTok().type == Tok::Ident &&
            (PeekTok().kw == Kw::Sub || PeekTok().kw == Kw::Function)) {
          Advance();
          prog_->procs.push_back(ParseProc(kw == Kw::Public, false, nullptr));
          return;
        }
        Advance();
        if (IsKw(Kw::Const)) {
          Advance();
          PushDecl(out, ParseConst(t));
          EndOfStatement();
          return;
        }
        if (IsKw(Kw::Sub) || IsKw(Kw::Function) || IsKw(Kw::Class) || IsKw(Kw::Property))
          Fail(1024);
        PushDecl(out, ParseDimList(t));
        EndOfStatement();
        return;
      case Kw::Const:
        Advance();
        PushDecl(out, ParseConst(t));
        EndOfStatement();
        return;
      case Kw::ReDim:
        ParseReDim(out);
        EndOfStatement();
        return;
      case Kw::If:
        ParseIf(out);
        return;
      case Kw::Select:
        ParseSelect(out);
        return;
      case Kw::For:
        ParseFor(out);
        return;
      case Kw::Do:
        ParseDo(out);
        return;
      case Kw::While:
        ParseWhile(out);
        return;
      case Kw::Exit: {
        Advance();
        auto s = SNode<ExitStmt>(t);
        if (IsKw(Kw::Do)) s->what = ExitKind::Do;
        else if (IsKw(Kw::For)) s->what = ExitKind::For;
        else if (IsKw(Kw::Function)) s->what = ExitKind::Function;
        else if (IsKw(Kw::Sub)) s->what = ExitKind::Sub;
        else if (IsKw(Kw::Property)) s->what = ExitKind::Property;
        else Fail(kInvalidExit);
        Advance();
        out.push_back(std::move(s));
        EndOfStatement();
        return;
      }
      case Kw::With: {
        Advance();
        auto s = SNode<WithStmt>(t);
        s->obj = ParseExpr();
        EndOfStatement();
        ParseBlock(s->body, [&] { return IsEnd(Kw::With); }, kExpEnd);
        Advance();
        Advance();
        out.push_back(std::move(s));
        EndOfStatement();
        return;
      }
      case Kw::On: {
        Advance();
        ExpectKw(Kw::Error, kSyntax);
        auto s = SNode<OnErrorStmt>(t);
        if (IsKw(Kw::Resume)) {
          Advance();
          ExpectKw(Kw::Next, kSyntax);
          s->resumeNext = true;
        } else if (IsKw(Kw::GoTo)) {
          Advance();
          if (Cur().type != Tok::Number || Cur().value.type() != vbInteger || Cur().value.intVal() != 0)
            Fail(kSyntax);
          Advance();
        } else {
          Fail(kSyntax);
        }
        out.push_back(std::move(s));
        EndOfStatement();
        return;
      }
      case Kw::Erase: {
        Advance();
        auto s = SNode<EraseStmt>(t);
        for (;;) {
          s->targets.push_back(ParsePostfix());
          if (!IsOp(OpK::Comma)) break;
          Advance();
        }
        out.push_back(std::move(s));
        EndOfStatement();
        return;
      }
      case Kw::Stop:
        Advance();
        EndOfStatement();
        return;
      case Kw::Option:
        Fail(1042);  // Must be first statement on the line... (Option Explicit placement)
      case Kw::Set: {
        Advance();
        auto s = SNode<AssignStmt>(t);
        s->isSet = true;
        s->target = ParseTarget();
        ExpectOp(OpK::Eq, kExpEq);
        s->value = ParseExpr();
        out.push_back(std::move(s));
        EndOfStatement();
        return;
      }
      case Kw::Let: {
        Advance();
        auto s = SNode<AssignStmt>(t);
        s->target = ParseTarget();
        ExpectOp(OpK::Eq, kExpEq);
        s->value = ParseExpr();
        out.push_back(std::move(s));
        EndOfStatement();
        return;
      }
      case Kw::Call: {
        Advance();
        auto s = SNode<CallStmt>(t);
        ExprP e = IsOp(OpK::LParen) ? ParseParenCallee() : ParseTarget();
        s->call = std::move(e);
        out.push_back(std::move(s));
        EndOfStatement();
        return;
      }
      case Kw::Sub:
      case Kw::Function:
        // A procedure written inside a block (If ... End If) is still an
        // ordinary global procedure; only procedures cannot nest.
        if (proc_ || noEosDepth_ > 0) Fail(kSyntax);
        prog_->procs.push_back(ParseProc(false, false, nullptr));
        return;
      case Kw::Class:
        Fail(kSyntax);
      case Kw::Me:
      case Kw::Property:
      case Kw::Get:
      case Kw::Default:
      case Kw::Error:
      case Kw::Explicit:
      case Kw::Resume:
      case Kw::Step:
      case Kw::Preserve:
      case Kw::None:
        ParseSimple(out);
        return;
      default:
        Fail(kExpStmt);
    }
  }

  // Target of an assignment / Call: name or member chain with arguments.
  ExprP ParseTarget() {
    ExprP e;
    if (Cur().type == Tok::Dot) {
      e = ParsePrimary();
    } else {
      if (Cur().type != Tok::Ident) Fail(kExpIdent);
      if (Cur().kw == Kw::Me) {
        e = ParsePrimary();
      } else {
        if (IsReservedKeyword(Cur().kw)) Fail(kExpIdent);
        e = ParsePrimary();
      }
    }
    return ParseSuffixes(std::move(e));
  }

  // "Call (New C).Method()", "Call (((f))) (x)": parentheses around the
  // callee only group it.
  ExprP ParseParenCallee() {
    ExprP e = ParsePrimary();
    while (e->kind == Expr::Paren) {
      Expr* in = static_cast<ParenExpr*>(e.get())->inner.get();
      if (in->kind != Expr::Name && in->kind != Expr::Member && in->kind != Expr::Paren) break;
      e = std::move(static_cast<ParenExpr*>(e.get())->inner);
    }
    return ParseSuffixes(std::move(e));
  }

  // Index just past the parenthesised group that starts at token k (k is
  // its '('); 0 when the statement ends first.
  size_t SkipGroup(size_t k) const {
    int depth = 0;
    for (;; ++k) {
      const Token& t = PeekTok(k);
      if (t.type == Tok::End || t.type == Tok::Newline) return 0;
      if (t.type != Tok::Op) continue;
      if (t.op == OpK::LParen) ++depth;
      else if (t.op == OpK::RParen && --depth == 0) return k + 1;
    }
  }
  // "Echo (New T).Name": a group after a blank that a member continues is
  // the first argument, not the callee's argument list (unless the whole
  // is assigned to: "a (1).b = 2").
  bool SpacedGroupStartsArgument() const {
    size_t k = 1;
    while (PeekTok(k).type == Tok::Dot && PeekTok(k + 1).type == Tok::Ident) k += 2;
    const Token& lp = PeekTok(k);
    if (lp.type != Tok::Op || lp.op != OpK::LParen || !lp.spaceBefore) return false;
    k = SkipGroup(k);
    if (k == 0 || PeekTok(k).type != Tok::Dot || PeekTok(k).spaceBefore) return false;
    for (;;) {
      const Token& t = PeekTok(k);
      if (t.type == Tok::Dot && PeekTok(k + 1).type == Tok::Ident) k += 2;
      else if (t.type == Tok::Op && t.op == OpK::LParen && (k = SkipGroup(k)) != 0) continue;
      else return !(t.type == Tok::Op && t.op == OpK::Eq);
    }
  }

  // Assignment or call without Call.
  void ParseSimple(Block& out) {
    const Pos t = Cur();
    size_t start = pos_;
    const bool argFirst = Cur().type == Tok::Ident && SpacedGroupStartsArgument();
    ExprP target = argFirst ? nullptr : ParseTarget();
    if (!argFirst && IsOp(OpK::Eq)) {
      Advance();
      auto s = SNode<AssignStmt>(t);
      s->target = std::move(target);
      s->value = ParseExpr();
      out.push_back(std::move(s));
      EndOfStatement();
      return;
    }
    auto s = SNode<CallStmt>(t);
    if (!argFirst && AtStatementEnd()) {
      // Foo / Foo(x) / obj.M(x): parentheses around a single argument pass
      // it by value; more than one argument in parentheses is an error.
      ExprList* args = nullptr;
      if (target->kind == Expr::Name && static_cast<NameExpr*>(target.get())->hasParens)
        args = &static_cast<NameExpr*>(target.get())->args;
      else if (target->kind == Expr::Member && static_cast<MemberExpr*>(target.get())->hasParens)
        args = &static_cast<MemberExpr*>(target.get())->args;
      if (args) {
        if (args->size() > 1) FailAt(kParensSub, t);
        if (args->size() == 1 && (*args)[0]) {
          auto p = MakeNode<ParenExpr>();
          p->line = (*args)[0]->line;
          p->col = (*args)[0]->col;
          p->inner = std::move((*args)[0]);
          (*args)[0] = std::move(p);
        }
      } else if (target->kind == Expr::Call) {
        auto* c = static_cast<CallExpr*>(target.get());
        if (c->args.size() > 1) FailAt(kParensSub, t);
      }
      s->call = std::move(target);
      out.push_back(std::move(s));
      EndOfStatement();
      return;
    }
    // Arguments without parentheses. Re-read from the callee so that a
    // leading "(" belongs to the first argument.
    pos_ = start;
    ExprP callee = ParseCalleeNoArgs(argFirst);
    ExprList args;
    for (;;) {
      if (IsOp(OpK::Comma)) {
        args.push_back(nullptr);
        Advance();
        continue;
      }
      args.push_back(ParseExpr());
      if (IsOp(OpK::Comma)) {
        Advance();
        if (AtStatementEnd()) args.push_back(nullptr);
        continue;
      }
      break;
    }
    if (callee->kind == Expr::Name) {
      auto* n = static_cast<NameExpr*>(callee.get());
      n->hasParens = true;
      n->args = std::move(args);
    } else if (callee->kind == Expr::Member) {
      auto* m = static_cast<MemberExpr*>(callee.get());
      m->hasParens = true;
      m->args = std::move(args);
    } else {
      Fail(kExpEos);
    }
    s->call = std::move(callee);
    out.push_back(std::move(s));
    EndOfStatement();
  }

  // The callee of a call statement: the chain up to, not including, the
  // argument list that follows it.
  ExprP ParseCalleeNoArgs(bool stopAtSpacedParen) {
    ExprP e = ParsePrimary();
    for (;;) {
      // A '.' after a blank starts a With member (Echo .Count), not a
      // member of what precedes it.
      if ((Cur().type == Tok::Dot || (IsOp(OpK::Dot) && PeekTok().type == Tok::Ident)) && !Cur().spaceBefore) {
        Pos at = Cur();
        Advance();
        auto m = Node<MemberExpr>(at);
        m->obj = std::move(e);
        m->name = ArenaText(ExpectMemberName());
        e = std::move(m);
        continue;
      }
      if (IsOp(OpK::LParen)) {
        if (stopAtSpacedParen && Cur().spaceBefore) return e;
        // Parentheses followed by '.' or another '(' belong to the chain
        // (a(1).Foo x); otherwise they start the first argument.
        size_t save = pos_;
        Pos at = Cur();
        auto args = ParseParenArgs();
        if (((Cur().type == Tok::Dot || (IsOp(OpK::Dot) && PeekTok().type == Tok::Ident)) && !Cur().spaceBefore) ||
            IsOp(OpK::LParen)) {
          e = ApplyArgs(std::move(e), std::move(args), at);
          continue;
        }
        pos_ = save;
        return e;
      }
      return e;
    }
  }

  NodeP<DimStmt> ParseDimList(Pos at) {
    auto s = SNode<DimStmt>(at);
    for (;;) {
      DimVar v;
      v.line = Cur().line;
      v.col = Cur().col;
      v.name = ArenaText(ExpectNameView());
      if (IsOp(OpK::LParen)) {
        v.isArray = true;
        Advance();
        if (!IsOp(OpK::RParen)) {
          for (;;) {
            // Dim takes constant bounds; sizes computed at run time need ReDim.
            const Pos bt = Cur();
            v.bounds.push_back(ParseExpr());
            if (v.bounds.back()->kind != Expr::Literal) FailAt(kExpInt, bt);
            if (!IsOp(OpK::Comma)) break;
            Advance();
          }
        }
        ExpectOp(OpK::RParen, kExpRParen);
      }
      s->vars.push_back(std::move(v));
      if (!IsOp(OpK::Comma)) break;
      Advance();
    }
    return s;
  }

  NodeP<ConstStmt> ParseConst(Pos at) {
    auto s = SNode<ConstStmt>(at);
    for (;;) {
      ConstStmt::Item it;
      it.line = Cur().line;
      it.col = Cur().col;
      it.name = ArenaText(ExpectNameView());
      ExpectOp(OpK::Eq, kExpEq);
      {
        // A constant's value is a literal, optionally signed.
        const Pos vt = Cur();
        it.value = ParseExpr();
        Expr* v = it.value.get();
        if (v->kind == Expr::Unary && static_cast<UnaryExpr*>(v)->op != UnOp::Not)
          v = static_cast<UnaryExpr*>(v)->operand.get();
        if (v->kind != Expr::Literal) FailAt(kExpLiteral, vt);
      }
      s->items.push_back(std::move(it));
      if (!IsOp(OpK::Comma)) break;
      Advance();
    }
    return s;
  }

  void ParseReDim(Block& out) {
    const Pos t = Cur();
    Advance();
    auto s = SNode<ReDimStmt>(t);
    if (IsKw(Kw::Preserve)) {
      s->preserve = true;
      Advance();
    }
    for (;;) {
      ReDimStmt::Item it;
      ExprP e = ParseTarget();
      // The last argument list holds the bounds.
      ExprList* args = nullptr;
      if (e->kind == Expr::Name && static_cast<NameExpr*>(e.get())->hasParens) {
        auto* n = static_cast<NameExpr*>(e.get());
        args = &n->args;
        n->hasParens = false;
      } else if (e->kind == Expr::Member && static_cast<MemberExpr*>(e.get())->hasParens) {
        auto* m = static_cast<MemberExpr*>(e.get());
        args = &m->args;
        m->hasParens = false;
      }
      if (!args || args->empty()) Fail(kExpLParen);
      for (auto& a : *args)
        if (!a) Fail(kExpExpr);
      it.bounds = std::move(*args);
      args->clear();
      it.target = std::move(e);
      s->items.push_back(std::move(it));
      if (!IsOp(OpK::Comma)) break;
      Advance();
    }
    out.push_back(std::move(s));
  }

  // Statements of a single-line If branch: up to the line end or Else.
  // True when an End If closed the If ("If c Then a Else b End If").
  bool ParseInlineStatements(Block& out, bool stopAtElse) {
    for (;;) {
      if (Cur().type == Tok::End) return false;
      if (Cur().type == Tok::Newline) {
        if (!Cur().colon) return false;
        Advance();
        continue;
      }
      if (stopAtElse && IsKw(Kw::Else)) return false;
      if (IsEnd(Kw::If)) {
        Advance();
        Advance();
        return true;
      }
      // "Function F : If c Then F = 1 Else F = 2 : End Function": the End
      // closes the enclosing block, and the If with it.
      if (IsBlockEnd()) return false;
      ParseInlineStatement(out);
    }
  }
  void ParseInlineStatement(Block& out) {
    // Like ParseStatement, but a statement ends at ':' / line end / Else,
    // and the ending newline is left for the caller.
    if (IsKw(Kw::If)) {
      ParseIf(out, true);
      return;
    }
    size_t before = out.size();
    ParseStatementNoEos(out);
    (void)before;
  }
  // Parses one simple statement without consuming its terminator.
  void ParseStatementNoEos(Block& out) {
    // Reuse the normal path by temporarily treating the terminator as
    // consumed: ParseStatement calls EndOfStatement, which consumes a
    // newline; step back over it if it was the line end.
    size_t lineEndBefore = pos_;
    (void)lineEndBefore;
    noEosDepth_++;
    ParseStatement(out, true);
    noEosDepth_--;
  }
  int noEosDepth_ = 0;
  // The procedure whose body is being parsed (procedures cannot nest).
  Proc* proc_ = nullptr;
  // Declarations are listed as they are parsed, so that the resolver finds
  // a procedure's variables without walking its body.
  template <class T>
  void PushDecl(Block& out, NodeP<T> s) {
    if (proc_) proc_->decls.push_back(s.get());
    else prog_->topDecls.push_back(s.get());
    out.push_back(std::move(s));
  }

  void ParseIf(Block& out, bool inlineContext = false) {
    const Pos t = Cur();
    Advance();
    auto s = SNode<IfStmt>(t);
    s->conds.push_back(ParseExpr());
    ExpectKw(Kw::Then, kExpThen);
    if (Cur().type == Tok::Newline && !Cur().colon) {
      // Block form.
      s->blocks.emplace_back();
      ParseBlock(s->blocks.back(), [&] { return IsKw(Kw::ElseIf) || IsKw(Kw::Else) || IsEnd(Kw::If); }, kExpEnd);
      for (;;) {
        if (IsKw(Kw::ElseIf)) {
          Advance();
          s->conds.push_back(ParseExpr());
          ExpectKw(Kw::Then, kExpThen);
          s->blocks.emplace_back();
          if (!IsEos()) ParseInlineStatements(s->blocks.back(), false);
          ParseBlock(s->blocks.back(), [&] { return IsKw(Kw::ElseIf) || IsKw(Kw::Else) || IsEnd(Kw::If); }, kExpEnd);
          continue;
        }
        if (IsKw(Kw::Else)) {
          Advance();
          if (!IsEos()) ParseInlineStatements(s->elseBlock, false);
          ParseBlock(s->elseBlock, [&] { return IsEnd(Kw::If); }, kExpEnd);
        }
        break;
      }
      if (!IsEnd(Kw::If)) Fail(kExpEnd);
      Advance();
      Advance();
      out.push_back(std::move(s));
      if (!inlineContext) EndOfStatement();
      return;
    }
    // Single-line form: If c Then a : b Else c : d
    s->blocks.emplace_back();
    if (!ParseInlineStatements(s->blocks.back(), true) && IsKw(Kw::Else)) {
      Advance();
      ParseInlineStatements(s->elseBlock, true);
    }
    out.push_back(std::move(s));
    if (!inlineContext) EndOfStatement();
  }

  void ParseSelect(Block& out) {
    const Pos t = Cur();
    Advance();
    ExpectKw(Kw::Case, kExpCase);
    auto s = SNode<SelectStmt>(t);
    s->subject = ParseExpr();
    EndOfStatement();
    SkipNewlines();
    while (!IsEnd(Kw::Select)) {
      if (AtEnd()) Fail(kExpEnd);
      if (!IsKw(Kw::Case)) Fail(kExpCase);
      Advance();
      if (IsKw(Kw::Else)) {
        Advance();
        s->hasElse = true;
        if (Cur().type == Tok::Newline) Advance();
        ParseBlock(s->elseBlock, [&] { return IsEnd(Kw::Select); }, kExpEnd);
        break;
      }
      SelectStmt::Case c;
      for (;;) {
        CaseTest ct;
        if (IsKw(Kw::Is)) {
          Advance();
          ct.kind = CaseTest::IsCmp;
          if (IsOp(OpK::Eq)) ct.cmp = BinOp::Eq;
          else if (IsOp(OpK::Ne)) ct.cmp = BinOp::Ne;
          else if (IsOp(OpK::Lt)) ct.cmp = BinOp::Lt;
          else if (IsOp(OpK::Gt)) ct.cmp = BinOp::Gt;
          else if (IsOp(OpK::Le)) ct.cmp = BinOp::Le;
          else if (IsOp(OpK::Ge)) ct.cmp = BinOp::Ge;
          else Fail(kSyntax);
          Advance();
          ct.a = ParseConcat();
        } else {
          ct.a = ParseExpr();
          if (IsKw(Kw::To)) {
            Advance();
            ct.kind = CaseTest::Range;
            ct.b = ParseExpr();
          }
        }
        c.tests.push_back(std::move(ct));
        if (!IsOp(OpK::Comma)) break;
        Advance();
      }
      // A statement may follow the tests on their line: "Case 1  y = 200".
      if (Cur().type == Tok::Newline) Advance();
      ParseBlock(c.body, [&] { return IsKw(Kw::Case) || IsEnd(Kw::Select); }, kExpEnd);
      s->cases.push_back(std::move(c));
    }
    Advance();
    Advance();
    out.push_back(std::move(s));
    EndOfStatement();
  }

  void ParseNextTail() {
    // Next [var]
    ExpectKw(Kw::Next, kExpNext);
    if (Cur().type == Tok::Ident && !IsReservedKeyword(Cur().kw)) Advance();
  }

  void ParseFor(Block& out) {
    const Pos t = Cur();
    Advance();
    if (IsKw(Kw::Each)) {
      Advance();
      auto s = SNode<ForEachStmt>(t);
      const Pos vt = Cur();
      auto n = Node<NameExpr>(vt);
      n->name = ArenaText(ExpectNameView());
      s->var = std::move(n);
      ExpectKw(Kw::In, kExpIn);
      s->coll = ParseExpr();
      EndOfStatement();
      ParseBlock(s->body, [&] { return IsKw(Kw::Next); }, kExpNext);
      ParseNextTail();
      out.push_back(std::move(s));
      EndOfStatement();
      return;
    }
    auto s = SNode<ForStmt>(t);
    const Pos vt = Cur();
    auto n = Node<NameExpr>(vt);
    n->name = ArenaText(ExpectNameView());
    s->var = std::move(n);
    ExpectOp(OpK::Eq, kExpEq);
    s->from = ParseExpr();
    ExpectKw(Kw::To, kExpTo);
    s->to = ParseExpr();
    if (IsKw(Kw::Step)) {
      Advance();
      s->step = ParseExpr();
    }
    EndOfStatement();
    ParseBlock(s->body, [&] { return IsKw(Kw::Next); }, kExpNext);
    ParseNextTail();
    out.push_back(std::move(s));
    EndOfStatement();
  }

  void ParseDo(Block& out) {
    const Pos t = Cur();
    Advance();
    auto s = SNode<DoStmt>(t);
    if (IsKw(Kw::While) || IsKw(Kw::Until)) {
      s->isUntil = IsKw(Kw::Until);
      Advance();
      s->cond = ParseExpr();
      s->condAtTop = true;
    }
    if (!IsEos()) Fail(kExpWhileUntil);
    EndOfStatement();
    ParseBlock(s->body, [&] { return IsKw(Kw::Loop); }, kExpLoop);
    Advance();
    if (IsKw(Kw::While) || IsKw(Kw::Until)) {
      if (s->cond) Fail(kExpEos);
      s->isUntil = IsKw(Kw::Until);
      Advance();
      s->cond = ParseExpr();
      s->condAtTop = false;
    }
    out.push_back(std::move(s));
    EndOfStatement();
  }

  void ParseWhile(Block& out) {
    const Pos t = Cur();
    Advance();
    auto s = SNode<DoStmt>(t);
    s->isWhileWend = true;
    s->cond = ParseExpr();
    EndOfStatement();
    ParseBlock(s->body, [&] { return IsKw(Kw::Wend); }, kExpWend);
    Advance();
    out.push_back(std::move(s));
    EndOfStatement();
  }

  // ---- procedures and classes ----------------------------------------------
  std::unique_ptr<Proc> ParseProc(bool isPublic, bool isDefault, ClassDef* owner) {
    auto p = std::make_unique<Proc>();
    p->isPublic = isPublic;
    p->isDefault = isDefault;
    p->owner = owner;
    Kw endKw;
    if (IsKw(Kw::Sub)) {
      p->kind = ProcKind::Sub;
      endKw = Kw::Sub;
      Advance();
    } else if (IsKw(Kw::Function)) {
      p->kind = ProcKind::Function;
      endKw = Kw::Function;
      Advance();
    } else {
      ExpectKw(Kw::Property, kSyntax);
      endKw = Kw::Property;
      if (IsKw(Kw::Get)) p->kind = ProcKind::PropGet;
      else if (IsKw(Kw::Let)) p->kind = ProcKind::PropLet;
      else if (IsKw(Kw::Set)) p->kind = ProcKind::PropSet;
      else Fail(kExpLetSetGet);
      Advance();
    }
    p->line = Cur().line;
    p->col = Cur().col;
    p->name = ExpectName();
    if (IsOp(OpK::LParen)) {
      Advance();
      if (!IsOp(OpK::RParen)) {
        p->params.reserve(4);  // most procedures take a few: one allocation
        for (;;) {
          Param prm;
          if (IsKw(Kw::ByVal)) { prm.byRef = false; Advance(); }
          else if (IsKw(Kw::ByRef)) { Advance(); }
          prm.name = ExpectName();
          if (IsOp(OpK::LParen)) {
            Advance();
            ExpectOp(OpK::RParen, kExpRParen);
            prm.isArray = true;
          }
          p->params.push_back(std::move(prm));
          if (!IsOp(OpK::Comma)) break;
          Advance();
        }
      }
      ExpectOp(OpK::RParen, kExpRParen);
    }
    if ((p->kind == ProcKind::PropLet || p->kind == ProcKind::PropSet) && p->params.empty())
      Fail(1054);
    // The body may start on the header's line: "Function Twice(n) Twice = n * 2".
    if (IsEos()) EndOfStatement();
    Proc* const savedProc = proc_;
    proc_ = p.get();
    struct RestoreProc {
      Proc*& f;
      Proc* v;
      ~RestoreProc() { f = v; }
    } restoreProc{proc_, savedProc};
    int err = endKw == Kw::Sub ? kExpSub : endKw == Kw::Function ? kExpFunction : kExpProperty;
    for (;;) {
      SkipNewlines();
      if (AtEnd()) Fail(kExpEnd);
      if (IsKw(Kw::End)) {
        if (PeekTok().type == Tok::Ident && PeekTok().kw == endKw) break;
        if (PeekTok().type == Tok::Ident &&
            (PeekTok().kw == Kw::Sub || PeekTok().kw == Kw::Function || PeekTok().kw == Kw::Property)) {
          Advance();
          Fail(err);
        }
      }
      if (IsKw(Kw::Sub) || IsKw(Kw::Function) || IsKw(Kw::Class)) Fail(kExpEnd);
      ParseStatement(p->body, true);
    }
    Advance();
    Advance();
    EndOfStatement();
    return p;
  }

  void ParseClass() {
    Advance();
    auto c = std::make_unique<ClassDef>();
    c->line = Cur().line;
    c->name = ExpectName();
    if (IsEos()) EndOfStatement();
    for (;;) {
      SkipNewlines();
      if (AtEnd()) Fail(kExpEnd);
      if (IsEnd(Kw::Class)) break;
      bool isPublic = true, isDefault = false, hadMod = false;
      const Pos at = Cur();
      if (IsKw(Kw::Public) || IsKw(Kw::Private)) {
        isPublic = IsKw(Kw::Public);
        hadMod = true;
        Advance();
        if (IsKw(Kw::Default)) {
          if (!isPublic) Fail(1057);
          isDefault = true;
          Advance();
        }
      } else if (IsKw(Kw::Dim)) {
        Advance();
        hadMod = true;
        ParseFieldList(*c, true, at);
        EndOfStatement();
        continue;
      }
      if (IsKw(Kw::Sub) || IsKw(Kw::Function) || IsKw(Kw::Property)) {
        auto p = ParseProc(isPublic, isDefault, c.get());
        if (isDefault && (p->kind == ProcKind::PropLet || p->kind == ProcKind::PropSet)) FailAt(1058, at);
        c->procs.push_back(std::move(p));
        continue;
      }
      if (isDefault) Fail(1056);
      if (IsKw(Kw::Const)) {
        // Constants in a class body act as read-only fields.
        Fail(kSyntax);
      }
      if (!hadMod) Fail(kSyntax);
      ParseFieldList(*c, isPublic, at);
      EndOfStatement();
    }
    Advance();
    Advance();
    EndOfStatement();
    prog_->classes.push_back(std::move(c));
  }

  void ParseFieldList(ClassDef& c, bool isPublic, Pos at) {
    auto d = ParseDimList(at);
    for (auto& v : d->vars) {
      FieldDef f;
      f.name = std::u16string(v.name);
      f.isPublic = isPublic;
      f.isArray = v.isArray;
      for (auto& b : v.bounds) {
        if (b->kind != Expr::Literal) throw CompileError{kExpInt, b->line, b->col};
        const Variant& lv = static_cast<LiteralExpr*>(b.get())->value;
        if (lv.type() != vbInteger && lv.type() != vbLong) throw CompileError{kExpInt, b->line, b->col};
        f.bounds.push_back(lv.type() == vbInteger ? lv.intVal() : lv.longVal());
      }
      f.line = v.line;
      f.col = v.col;
      c.fields.push_back(std::move(f));
    }
  }

  mutable Lexer lx_;
  mutable TokenBuf toks_;
  mutable bool ended_ = false;
  mutable std::unique_ptr<CompileError> lexError_;  // met while lexing ahead
  size_t pos_ = 0;
  mutable const Token* cur_ = nullptr;  // token at curPos_ (chunks never move)
  mutable size_t curPos_ = 0;
  Program* prog_ = nullptr;
};

}  // namespace

std::unique_ptr<Program> ParseProgram(std::u16string_view text, bool& optionExplicit) {
  Parser p(text);
  return p.ParseAll(optionExplicit);
}

ExprP ParseExpression(std::u16string_view text) {
  Parser p(text);
  return p.ParseOnlyExpression();
}

}  // namespace vbs
