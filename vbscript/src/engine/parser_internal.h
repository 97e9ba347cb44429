#pragma once
// The parser's state and token helpers, shared by its two halves:
// expressions (parser_expr.cpp) and statements (parser.cpp).
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "engine/ast.h"
#include "engine/lexer.h"
#include "engine/name_index.h"
#include "engine/parser.h"
#include "engine/stack_guard.h"

namespace vbs::parsing {


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
  static constexpr size_t kShift = 6, kChunk = size_t(1) << kShift, kMask = kChunk - 1;
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
  explicit Parser(std::u16string_view text) : lx_(text), textSize_(text.size()) { Fill(0); }

  std::unique_ptr<Program> ParseAll(bool& optionExplicit);
  ExprP ParseOnlyExpression();

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
      Fail(kErrExpectedEndOfStatement);
    }
    if (Cur().type != Tok::Newline) Fail(kErrExpectedEndOfStatement);
    Advance();
  }
  // A name usable for a variable or procedure.
  std::u16string ExpectName() { return std::u16string(ExpectNameView()); }
  // The same as a view of the source text.
  std::u16string_view ExpectNameView() {
    if (Cur().type != Tok::Ident || IsReservedKeyword(Cur().kw)) Fail(kErrExpectedIdentifier);
    std::u16string_view n = Cur().word;
    Advance();
    return n;
  }
  // A member name after '.': any word (a view of the source text).
  std::u16string_view ExpectMemberName() {
    if (Cur().type != Tok::Ident) Fail(kErrExpectedIdentifier);
    std::u16string_view n = Cur().word;
    Advance();
    return n;
  }
  void Guard() {
    if (StackExhausted()) Fail(kErrOutOfStack);
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
  // A node (expression or statement) positioned at `at`.
  template <class T>
  NodeP<T> Node(Pos at) {
    auto n = MakeNode<T>();
    n->line = at.line;
    n->col = at.col;
    return n;
  }

  ExprP Bin(BinOp op, ExprP l, ExprP r, Pos at);
  // The two entry points the statement half calls most: inline, so that
  // splitting the parser in two files adds no call per expression.
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
  int BinaryPrec(BinOp& op) const;
  ExprP ParseBinary(int minPrec);
  ExprP ParseNot();
  ExprP ParseConcat() { return ParseBinary(kConcatPrec); }
  // Negation binds tighter than "^" in this language: -3^2 is 9.
  ExprP ParseUnary() { return ParsePowTail(ParseSigned()); }
  ExprP ParseSigned();
  ExprP ParsePowTail(ExprP l);
  ExprList ParseParenArgs();
  ExprP ParsePrimary();
  ExprP MakeExpr(Pos at, Expr::Kind k);
  ExprP ApplyArgs(ExprP e, ExprList args, Pos at);
  ExprP ParsePostfix() { return ParseSuffixes(ParsePrimary()); }
  ExprP ParseSuffixes(ExprP e);
  bool ParseMemberSuffix(ExprP& e);

  // ---- statements -------------------------------------------------------

  void ParseTopStatement(Block& out);

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
      ParseStatement(out);
    }
  }

  void ParseStatement(Block& out);
  ExprP ParseTarget();
  ExprP ParseParenCallee();

  size_t SkipGroup(size_t k) const;
  bool SpacedGroupStartsArgument() const;

  void ParseSimple(Block& out);
  ExprP ParseCalleeNoArgs(bool stopAtSpacedParen);
  NodeP<DimStmt> ParseDimList(Pos at);
  NodeP<ConstStmt> ParseConst(Pos at);
  void ParseReDim(Block& out);
  bool ParseInlineStatements(Block& out, bool stopAtElse);
  void ParseInlineStatement(Block& out);
  void ParseStatementNoEos(Block& out);
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

  void ParseIf(Block& out, bool inlineContext = false);
  void ParseSelect(Block& out);
  void ParseNextTail();
  void ParseFor(Block& out);
  void ParseDo(Block& out);
  void ParseWhile(Block& out);

  // ---- procedures and classes ----------------------------------------------
  std::unique_ptr<Proc> ParseProc(bool isPublic, bool isDefault, ClassDef* owner);
  void ParseClass();
  void ParseFieldList(ClassDef& c, bool isPublic, Pos at);

  // A string literal's value: identical literals of one text share one
  // string, kept in the arena until the text goes (the nodes share it
  // through SetNodeValueKept; no code changes a string that has more than
  // one reference).
  const Variant& StringLiteral(std::u16string_view text) {
    int& i = literalIndex_[text];
    if (i == 0) {
      auto* v = ::new (RequireNodeArena().Alloc(sizeof(Variant))) Variant();
      SetNodeValue(*v, Variant::FromString(text));
      literals_.push_back(v);
      i = int(literals_.size());
    }
    return *literals_[size_t(i - 1)];
  }
  NameIndex literalIndex_;         // literal text -> 1 + index in literals_

  // A name's text in the node arena, one copy per spelling: a library
  // names the same few variables over and over.
  std::u16string_view InternName(std::u16string_view s) {
    if (s.empty()) return {};
    const uint32_t h = QuickHash(s);
    if ((nameCount_ + 1) * 2 > names_.size()) GrowNames();
    const size_t mask = names_.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
      Interned& e = names_[i];
      if (!e.text) {
        e.hash = h;
        e.len = uint32_t(s.size());
        e.text = ArenaText(s).data();
        ++nameCount_;
        return {e.text, s.size()};
      }
      if (e.hash == h && e.len == s.size() && SameChars(e.text, s.data(), s.size()))
        return {e.text, e.len};
    }
  }
  // A hash of a name's length and its first, middle and last four
  // characters: names differ in those, and each is one load.
  static uint32_t QuickHash(std::u16string_view s) {
    const size_t n = s.size();
    uint64_t a = 0, b = 0, c = 0;
    if (n >= 4) {
      std::memcpy(&a, s.data(), 8);
      std::memcpy(&b, s.data() + n - 4, 8);
      std::memcpy(&c, s.data() + (n - 4) / 2, 8);
    } else {
      for (char16_t ch : s) a = (a << 16) | ch;
    }
    uint64_t h = (a * 0x9E3779B97F4A7C15ull) ^ ((b + n) * 0xC2B2AE3D27D4EB4Full) ^ (c * 0x165667B19E3779F9ull);
    return uint32_t(h ^ (h >> 32));
  }
  struct Interned {
    const char16_t* text = nullptr;
    uint32_t len = 0;
    uint32_t hash = 0;
  };
  void GrowNames() {
    size_t size = names_.size() * 2;
    if (size == 0) {
      size = 64;  // a large text: sized for a name every few hundred characters
      while (size < textSize_ / 256) size *= 2;
    }
    std::vector<Interned> old(size);
    old.swap(names_);
    const size_t mask = names_.size() - 1;
    for (const Interned& e : old) {
      if (!e.text) continue;
      size_t i = e.hash & mask;
      while (names_[i].text) i = (i + 1) & mask;
      names_[i] = e;
    }
  }
  std::vector<Interned> names_;
  size_t nameCount_ = 0;
  std::vector<Param> paramBuf_;    // the parameters of the procedure being read
  std::vector<Variant*> literals_;

  mutable Lexer lx_;
  size_t textSize_;
  mutable TokenBuf toks_;
  mutable bool ended_ = false;
  mutable std::unique_ptr<CompileError> lexError_;  // met while lexing ahead
  size_t pos_ = 0;
  mutable const Token* cur_ = nullptr;  // token at curPos_ (chunks never move)
  mutable size_t curPos_ = 0;
  Program* prog_ = nullptr;
};

}  // namespace vbs::parsing
