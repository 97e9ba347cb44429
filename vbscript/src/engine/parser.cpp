// Recursive-descent parser for the language. Tokens of the whole text are
// read first, so that a call statement such as `Foo (a) + 1, b` can be
// re-read when its first parenthesis turns out to start an argument.
#include "engine/parser.h"

#include "engine/parser_internal.h"

namespace vbs::parsing {

std::unique_ptr<Program> Parser::ParseAll(bool& optionExplicit) {
  auto prog = std::make_unique<Program>();
  prog_ = prog.get();
  prog->arena->ExpectText(textSize_);
  NodeArenaScope arena(prog->arena.get());
  SkipNewlines();
  // Option Explicit must come before any other statement.
  if (IsKw(Kw::Option)) {
    Advance();
    if (!IsKw(Kw::Explicit)) Fail(kErrSyntax);
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

ExprP Parser::ParseOnlyExpression() {
  SkipNewlines();
  ExprP e = ParseExpr();
  SkipNewlines();
  if (!AtEnd()) Fail(kErrExpectedEndOfStatement);
  return e;
}

void Parser::ParseTopStatement(Block& out) {
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
        Fail(kErrOutsideClass);
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
  ParseStatement(out);
}

void Parser::ParseStatement(Block& out) {
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
  if (type != Tok::Ident) Fail(kErrExpectedStatement);
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
        Fail(kErrExpectedStatement);
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
      auto s = Node<ExitStmt>(t);
      if (IsKw(Kw::Do)) s->what = ExitKind::Do;
      else if (IsKw(Kw::For)) s->what = ExitKind::For;
      else if (IsKw(Kw::Function)) s->what = ExitKind::Function;
      else if (IsKw(Kw::Sub)) s->what = ExitKind::Sub;
      else if (IsKw(Kw::Property)) s->what = ExitKind::Property;
      else Fail(kErrInvalidExit);
      Advance();
      out.push_back(std::move(s));
      EndOfStatement();
      return;
    }
    case Kw::With: {
      Advance();
      auto s = Node<WithStmt>(t);
      s->obj = ParseExpr();
      EndOfStatement();
      ParseBlock(s->body, [&] { return IsEnd(Kw::With); }, kErrExpectedEnd);
      Advance();
      Advance();
      out.push_back(std::move(s));
      EndOfStatement();
      return;
    }
    case Kw::On: {
      Advance();
      ExpectKw(Kw::Error, kErrSyntax);
      auto s = Node<OnErrorStmt>(t);
      if (IsKw(Kw::Resume)) {
        Advance();
        ExpectKw(Kw::Next, kErrSyntax);
        s->resumeNext = true;
      } else if (IsKw(Kw::GoTo)) {
        Advance();
        if (Cur().type != Tok::Number || Cur().value.type() != vbInteger || Cur().value.intVal() != 0)
          Fail(kErrSyntax);
        Advance();
      } else {
        Fail(kErrSyntax);
      }
      out.push_back(std::move(s));
      EndOfStatement();
      return;
    }
    case Kw::Erase: {
      Advance();
      auto s = Node<EraseStmt>(t);
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
      Fail(kErrMustBeFirstStatement);  // Option Explicit after other statements
    case Kw::Set: {
      Advance();
      auto s = Node<AssignStmt>(t);
      s->isSet = true;
      s->target = ParseTarget();
      ExpectOp(OpK::Eq, kErrExpectedEquals);
      s->value = ParseExpr();
      out.push_back(std::move(s));
      EndOfStatement();
      return;
    }
    case Kw::Let: {
      Advance();
      auto s = Node<AssignStmt>(t);
      s->target = ParseTarget();
      ExpectOp(OpK::Eq, kErrExpectedEquals);
      s->value = ParseExpr();
      out.push_back(std::move(s));
      EndOfStatement();
      return;
    }
    case Kw::Call: {
      Advance();
      auto s = Node<CallStmt>(t);
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
      if (proc_ || noEosDepth_ > 0) Fail(kErrSyntax);
      prog_->procs.push_back(ParseProc(false, false, nullptr));
      return;
    case Kw::Class:
      Fail(kErrSyntax);
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
      Fail(kErrExpectedStatement);
  }
}

// Target of an assignment / Call: name or member chain with arguments.
ExprP Parser::ParseTarget() {
  ExprP e;
  if (Cur().type == Tok::Dot) {
    e = ParsePrimary();
  } else {
    if (Cur().type != Tok::Ident) Fail(kErrExpectedIdentifier);
    if (Cur().kw == Kw::Me) {
      e = ParsePrimary();
    } else {
      if (IsReservedKeyword(Cur().kw)) Fail(kErrExpectedIdentifier);
      e = ParsePrimary();
    }
  }
  return ParseSuffixes(std::move(e));
}

// "Call (New C).Method()", "Call (((f))) (x)": parentheses around the
// callee only group it.
ExprP Parser::ParseParenCallee() {
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
size_t Parser::SkipGroup(size_t k) const {
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
bool Parser::SpacedGroupStartsArgument() const {
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
void Parser::ParseSimple(Block& out) {
  const Pos t = Cur();
  size_t start = pos_;
  const bool argFirst = Cur().type == Tok::Ident && SpacedGroupStartsArgument();
  ExprP target = argFirst ? nullptr : ParseTarget();
  if (!argFirst && IsOp(OpK::Eq)) {
    Advance();
    auto s = Node<AssignStmt>(t);
    s->target = std::move(target);
    s->value = ParseExpr();
    out.push_back(std::move(s));
    EndOfStatement();
    return;
  }
  auto s = Node<CallStmt>(t);
  if (!argFirst && AtStatementEnd()) {
    // Foo / Foo(x) / obj.M(x): parentheses around a single argument pass
    // it by value; more than one argument in parentheses is an error.
    ExprList* args = nullptr;
    if (target->kind == Expr::Name && static_cast<NameExpr*>(target.get())->hasParens)
      args = &static_cast<NameExpr*>(target.get())->args;
    else if (target->kind == Expr::Member && static_cast<MemberExpr*>(target.get())->hasParens)
      args = &static_cast<MemberExpr*>(target.get())->args;
    if (args) {
      if (args->size() > 1) FailAt(kErrParensCallingSub, t);
      if (args->size() == 1 && (*args)[0]) {
        auto p = MakeNode<ParenExpr>();
        p->line = (*args)[0]->line;
        p->col = (*args)[0]->col;
        p->inner = std::move((*args)[0]);
        (*args)[0] = std::move(p);
      }
    } else if (target->kind == Expr::Call) {
      auto* c = static_cast<CallExpr*>(target.get());
      if (c->args.size() > 1) FailAt(kErrParensCallingSub, t);
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
      if (AtStatementEnd()) {
        args.push_back(nullptr);  // F a, : the last argument omitted
        break;
      }
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
    Fail(kErrExpectedEndOfStatement);
  }
  s->call = std::move(callee);
  out.push_back(std::move(s));
  EndOfStatement();
}

// The callee of a call statement: the chain up to, not including, the
// argument list that follows it.
ExprP Parser::ParseCalleeNoArgs(bool stopAtSpacedParen) {
  ExprP e = ParsePrimary();
  for (;;) {
    if (ParseMemberSuffix(e)) continue;
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

NodeP<DimStmt> Parser::ParseDimList(Pos at) {
  auto s = Node<DimStmt>(at);
  for (;;) {
    DimVar v;
    v.line = Cur().line;
    v.col = Cur().col;
    v.name = InternName(ExpectNameView());
    if (IsOp(OpK::LParen)) {
      v.isArray = true;
      Advance();
      if (!IsOp(OpK::RParen)) {
        for (;;) {
          // Dim takes constant bounds; sizes computed at run time need ReDim.
          const Pos bt = Cur();
          v.bounds.push_back(ParseExpr());
          if (v.bounds.back()->kind != Expr::Literal) FailAt(kErrExpectedInteger, bt);
          if (!IsOp(OpK::Comma)) break;
          Advance();
        }
      }
      ExpectOp(OpK::RParen, kErrExpectedRParen);
    }
    s->vars.push_back(std::move(v));
    if (!IsOp(OpK::Comma)) break;
    Advance();
  }
  return s;
}

NodeP<ConstStmt> Parser::ParseConst(Pos at) {
  auto s = Node<ConstStmt>(at);
  for (;;) {
    ConstStmt::Item it;
    it.line = Cur().line;
    it.col = Cur().col;
    it.name = InternName(ExpectNameView());
    ExpectOp(OpK::Eq, kErrExpectedEquals);
    {
      // A constant's value is a literal, optionally signed.
      const Pos vt = Cur();
      it.value = ParseExpr();
      Expr* v = it.value.get();
      if (v->kind == Expr::Unary && static_cast<UnaryExpr*>(v)->op != UnOp::Not)
        v = static_cast<UnaryExpr*>(v)->operand.get();
      if (v->kind != Expr::Literal) FailAt(kErrExpectedLiteral, vt);
    }
    s->items.push_back(std::move(it));
    if (!IsOp(OpK::Comma)) break;
    Advance();
  }
  return s;
}

void Parser::ParseReDim(Block& out) {
  const Pos t = Cur();
  Advance();
  auto s = Node<ReDimStmt>(t);
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
    if (!args || args->empty()) Fail(kErrExpectedLParen);
    for (auto& a : *args)
      if (!a) Fail(kErrExpectedExpression);
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
bool Parser::ParseInlineStatements(Block& out, bool stopAtElse) {
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

void Parser::ParseInlineStatement(Block& out) {
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
void Parser::ParseStatementNoEos(Block& out) {
  // Reuse the normal path by temporarily treating the terminator as
  // consumed: ParseStatement calls EndOfStatement, which consumes a
  // newline; step back over it if it was the line end.
  size_t lineEndBefore = pos_;
  (void)lineEndBefore;
  noEosDepth_++;
  ParseStatement(out);
  noEosDepth_--;
}

void Parser::ParseIf(Block& out, bool inlineContext) {
  const Pos t = Cur();
  Advance();
  auto s = Node<IfStmt>(t);
  s->conds.push_back(ParseExpr());
  ExpectKw(Kw::Then, kErrExpectedThen);
  if (Cur().type == Tok::Newline && !Cur().colon) {
    // Block form.
    s->blocks.emplace_back();
    ParseBlock(s->blocks.back(), [&] { return IsKw(Kw::ElseIf) || IsKw(Kw::Else) || IsEnd(Kw::If); }, kErrExpectedEnd);
    for (;;) {
      if (IsKw(Kw::ElseIf)) {
        Advance();
        s->conds.push_back(ParseExpr());
        ExpectKw(Kw::Then, kErrExpectedThen);
        s->blocks.emplace_back();
        if (!IsEos()) ParseInlineStatements(s->blocks.back(), false);
        ParseBlock(s->blocks.back(), [&] { return IsKw(Kw::ElseIf) || IsKw(Kw::Else) || IsEnd(Kw::If); }, kErrExpectedEnd);
        continue;
      }
      if (IsKw(Kw::Else)) {
        Advance();
        if (!IsEos()) ParseInlineStatements(s->elseBlock, false);
        ParseBlock(s->elseBlock, [&] { return IsEnd(Kw::If); }, kErrExpectedEnd);
      }
      break;
    }
    if (!IsEnd(Kw::If)) Fail(kErrExpectedEnd);
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

void Parser::ParseSelect(Block& out) {
  const Pos t = Cur();
  Advance();
  ExpectKw(Kw::Case, kErrExpectedCase);
  auto s = Node<SelectStmt>(t);
  s->subject = ParseExpr();
  EndOfStatement();
  SkipNewlines();
  while (!IsEnd(Kw::Select)) {
    if (AtEnd()) Fail(kErrExpectedEnd);
    if (!IsKw(Kw::Case)) Fail(kErrExpectedCase);
    Advance();
    if (IsKw(Kw::Else)) {
      Advance();
      s->hasElse = true;
      if (Cur().type == Tok::Newline) Advance();
      ParseBlock(s->elseBlock, [&] { return IsEnd(Kw::Select); }, kErrExpectedEnd);
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
        else Fail(kErrSyntax);
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
    ParseBlock(c.body, [&] { return IsKw(Kw::Case) || IsEnd(Kw::Select); }, kErrExpectedEnd);
    s->cases.push_back(std::move(c));
  }
  Advance();
  Advance();
  out.push_back(std::move(s));
  EndOfStatement();
}

void Parser::ParseNextTail() {
  // Next [var]
  ExpectKw(Kw::Next, kErrExpectedNext);
  if (Cur().type == Tok::Ident && !IsReservedKeyword(Cur().kw)) Advance();
}

void Parser::ParseFor(Block& out) {
  const Pos t = Cur();
  Advance();
  if (IsKw(Kw::Each)) {
    Advance();
    auto s = Node<ForEachStmt>(t);
    const Pos vt = Cur();
    auto n = Node<NameExpr>(vt);
    n->name = InternName(ExpectNameView());
    s->var = std::move(n);
    ExpectKw(Kw::In, kErrExpectedIn);
    s->coll = ParseExpr();
    EndOfStatement();
    ParseBlock(s->body, [&] { return IsKw(Kw::Next); }, kErrExpectedNext);
    ParseNextTail();
    out.push_back(std::move(s));
    EndOfStatement();
    return;
  }
  auto s = Node<ForStmt>(t);
  const Pos vt = Cur();
  auto n = Node<NameExpr>(vt);
  n->name = InternName(ExpectNameView());
  s->var = std::move(n);
  ExpectOp(OpK::Eq, kErrExpectedEquals);
  s->from = ParseExpr();
  ExpectKw(Kw::To, kErrExpectedTo);
  s->to = ParseExpr();
  if (IsKw(Kw::Step)) {
    Advance();
    s->step = ParseExpr();
  }
  EndOfStatement();
  ParseBlock(s->body, [&] { return IsKw(Kw::Next); }, kErrExpectedNext);
  ParseNextTail();
  out.push_back(std::move(s));
  EndOfStatement();
}

void Parser::ParseDo(Block& out) {
  const Pos t = Cur();
  Advance();
  auto s = Node<DoStmt>(t);
  if (IsKw(Kw::While) || IsKw(Kw::Until)) {
    s->isUntil = IsKw(Kw::Until);
    Advance();
    s->cond = ParseExpr();
    s->condAtTop = true;
  }
  if (!IsEos()) Fail(kErrExpectedWhileUntilOrEnd);
  EndOfStatement();
  ParseBlock(s->body, [&] { return IsKw(Kw::Loop); }, kErrExpectedLoop);
  Advance();
  if (IsKw(Kw::While) || IsKw(Kw::Until)) {
    if (s->cond) Fail(kErrExpectedEndOfStatement);
    s->isUntil = IsKw(Kw::Until);
    Advance();
    s->cond = ParseExpr();
    s->condAtTop = false;
  }
  out.push_back(std::move(s));
  EndOfStatement();
}

void Parser::ParseWhile(Block& out) {
  const Pos t = Cur();
  Advance();
  auto s = Node<DoStmt>(t);
  s->isWhileWend = true;
  s->cond = ParseExpr();
  EndOfStatement();
  ParseBlock(s->body, [&] { return IsKw(Kw::Wend); }, kErrExpectedWend);
  Advance();
  out.push_back(std::move(s));
  EndOfStatement();
}

std::unique_ptr<Proc> Parser::ParseProc(bool isPublic, bool isDefault, ClassDef* owner) {
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
    ExpectKw(Kw::Property, kErrSyntax);
    endKw = Kw::Property;
    if (IsKw(Kw::Get)) p->kind = ProcKind::PropGet;
    else if (IsKw(Kw::Let)) p->kind = ProcKind::PropLet;
    else if (IsKw(Kw::Set)) p->kind = ProcKind::PropSet;
    else Fail(kErrExpectedLetSetGet);
    Advance();
  }
  p->line = Cur().line;
  p->col = Cur().col;
  p->name = ExpectName();
  if (IsOp(OpK::LParen)) {
    Advance();
    if (!IsOp(OpK::RParen)) {
      // Gathered apart, then copied: the procedure's list is allocated once,
      // at its size.
      paramBuf_.clear();
      for (;;) {
        Param prm;
        if (IsKw(Kw::ByVal)) { prm.byRef = false; Advance(); }
        else if (IsKw(Kw::ByRef)) { Advance(); }
        prm.name = InternName(ExpectNameView());
        if (IsOp(OpK::LParen)) {
          Advance();
          ExpectOp(OpK::RParen, kErrExpectedRParen);
          prm.isArray = true;
        }
        paramBuf_.push_back(prm);
        if (!IsOp(OpK::Comma)) break;
        Advance();
      }
      p->params.assign(paramBuf_.begin(), paramBuf_.end());
    }
    ExpectOp(OpK::RParen, kErrExpectedRParen);
  }
  if ((p->kind == ProcKind::PropLet || p->kind == ProcKind::PropSet) && p->params.empty())
    Fail(kErrPropertyNeedsArg);
  // The body may start on the header's line: "Function Twice(n) Twice = n * 2".
  if (IsEos()) EndOfStatement();
  Proc* const savedProc = proc_;
  proc_ = p.get();
  struct RestoreProc {
    Proc*& f;
    Proc* v;
    ~RestoreProc() { f = v; }
  } restoreProc{proc_, savedProc};
  int err = endKw == Kw::Sub ? kErrExpectedSub : endKw == Kw::Function ? kErrExpectedFunction : kErrExpectedProperty;
  for (;;) {
    SkipNewlines();
    if (AtEnd()) Fail(kErrExpectedEnd);
    if (IsKw(Kw::End)) {
      if (PeekTok().type == Tok::Ident && PeekTok().kw == endKw) break;
      if (PeekTok().type == Tok::Ident &&
          (PeekTok().kw == Kw::Sub || PeekTok().kw == Kw::Function || PeekTok().kw == Kw::Property)) {
        Advance();
        Fail(err);
      }
    }
    if (IsKw(Kw::Sub) || IsKw(Kw::Function) || IsKw(Kw::Class)) Fail(kErrExpectedEnd);
    ParseStatement(p->body);
  }
  Advance();
  Advance();
  EndOfStatement();
  return p;
}

void Parser::ParseClass() {
  Advance();
  auto c = std::make_unique<ClassDef>();
  c->line = Cur().line;
  c->name = ExpectName();
  if (IsEos()) EndOfStatement();
  for (;;) {
    SkipNewlines();
    if (AtEnd()) Fail(kErrExpectedEnd);
    if (IsEnd(Kw::Class)) break;
    bool isPublic = true, isDefault = false, hadMod = false;
    const Pos at = Cur();
    if (IsKw(Kw::Public) || IsKw(Kw::Private)) {
      isPublic = IsKw(Kw::Public);
      hadMod = true;
      Advance();
      if (IsKw(Kw::Default)) {
        if (!isPublic) Fail(kErrDefaultNotPublic);
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
    if (isDefault) Fail(kErrDefaultPlacement);
    if (IsKw(Kw::Const)) {
      // Constants in a class body act as read-only fields.
      Fail(kErrSyntax);
    }
    if (!hadMod) Fail(kErrSyntax);
    ParseFieldList(*c, isPublic, at);
    EndOfStatement();
  }
  Advance();
  Advance();
  EndOfStatement();
  prog_->classes.push_back(std::move(c));
}

void Parser::ParseFieldList(ClassDef& c, bool isPublic, Pos at) {
  auto d = ParseDimList(at);
  for (auto& v : d->vars) {
    FieldDef f;
    f.name = std::u16string(v.name);
    f.isPublic = isPublic;
    f.isArray = v.isArray;
    for (auto& b : v.bounds) {
      if (b->kind != Expr::Literal) throw CompileError{kErrExpectedInteger, b->line, b->col};
      const Variant& lv = static_cast<LiteralExpr*>(b.get())->value;
      if (lv.type() != vbInteger && lv.type() != vbLong) throw CompileError{kErrExpectedInteger, b->line, b->col};
      f.bounds.push_back(lv.type() == vbInteger ? lv.intVal() : lv.longVal());
    }
    f.line = v.line;
    f.col = v.col;
    c.fields.push_back(std::move(f));
  }
}

}  // namespace vbs::parsing

namespace vbs {

using parsing::Parser;

std::unique_ptr<Program> ParseProgram(std::u16string_view text, bool& optionExplicit) {
  Parser p(text);
  return p.ParseAll(optionExplicit);
}

ExprP ParseExpression(std::u16string_view text) {
  Parser p(text);
  return p.ParseOnlyExpression();
}

}  // namespace vbs
