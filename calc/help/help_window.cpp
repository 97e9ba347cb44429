#include "help_window.h"

#include <QAction>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace zel {

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
  if (engine_ && name.scheme() == QLatin1String("qthelp")) {
    const QByteArray data = engine_->fileData(name);
    if (type == QTextDocument::ImageResource) return data;
    return QString::fromUtf8(data);
  }
  // Pages never reach outside the manual.
  return QVariant();
}

HelpWindow::HelpWindow(QWidget* parent) : QMainWindow(parent, Qt::Window) {
  setAttribute(Qt::WA_DeleteOnClose);
  resize(960, 680);
}

HelpWindow::~HelpWindow() {
  // The panels use the engine's models: they go first.
  delete tabs_;
  tabs_ = nullptr;
  if (browser_) browser_->SetEngine(nullptr);
}

bool HelpWindow::Load(const QString& helpFile, const QString& workingCollection, QString* error) {
  engine_ = std::make_unique<QHelpEngine>(workingCollection);
  engine_->setReadOnly(false);
  if (!engine_->setupData()) {
    if (error) *error = engine_->error();
    engine_.reset();
    return false;
  }
  helpFile_ = helpFile;
  BuildPanels();
  return true;
}

void HelpWindow::BuildPanels() {
  QHelpEngine* engine = engine_.get();
  auto* splitter = new QSplitter(this);
  tabs_ = new QTabWidget(splitter);
  browser_ = new HelpBrowser(splitter);
  browser_->SetEngine(engine);
  browser_->setOpenLinks(true);
  browser_->setOpenExternalLinks(false);
  splitter->addWidget(tabs_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({280, 680});
  setCentralWidget(splitter);

  // Contents.
  QHelpContentWidget* contents = engine->contentWidget();
  tabs_->addTab(contents, tr("Contents"));
  connect(contents, &QHelpContentWidget::linkActivated, this, &HelpWindow::ShowUrl);
  // A page opens on a single click, as in the index and the search results
  // (Enter already activates).
  connect(contents, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
    if (QHelpContentItem* item = engine_->contentModel()->contentItemAt(index)) ShowUrl(item->url());
  });
  connect(engine->contentModel(), &QHelpContentModel::contentsCreated, this, [this, contents] {
    contents->expandToDepth(0);
    if (QHelpContentItem* root = engine_->contentModel()->contentItemAt(
            engine_->contentModel()->index(0, 0))) {
      home_ = root->url();
      setWindowTitle(root->title() + QStringLiteral(" - zelCalc"));
      if (browser_->source().isEmpty()) GoHome();
    }
  });

  // Index, with a filter line that jumps as the user types.
  auto* indexPage = new QWidget(tabs_);
  auto* indexLayout = new QVBoxLayout(indexPage);
  indexLayout->setContentsMargins(4, 4, 4, 4);
  indexFilter_ = new QLineEdit(indexPage);
  indexFilter_->setPlaceholderText(tr("Type a word to look for"));
  indexFilter_->setClearButtonEnabled(true);
  QHelpIndexWidget* index = engine->indexWidget();
  indexLayout->addWidget(indexFilter_);
  indexLayout->addWidget(index);
  tabs_->addTab(indexPage, tr("Index"));
  connect(indexFilter_, &QLineEdit::textChanged, index,
          [index](const QString& text) { index->filterIndices(text); });
  connect(indexFilter_, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
  connect(index, &QHelpIndexWidget::documentActivated, this,
          [this](const QHelpLink& link, const QString&) { ShowUrl(link.url); });
  connect(index, &QHelpIndexWidget::documentsActivated, this,
          [this](const QList<QHelpLink>& links, const QString&) {
            if (!links.isEmpty()) ShowUrl(links.first().url);
          });

  // Full-text search. The index is built in the background the first time
  // a manual is opened; a search asked for meanwhile runs when it is ready.
  auto* searchPage = new QWidget(tabs_);
  auto* searchLayout = new QVBoxLayout(searchPage);
  searchLayout->setContentsMargins(4, 4, 4, 4);
  QHelpSearchEngine* search = engine->searchEngine();
  auto* query = search->queryWidget();
  searchStatus_ = new QLabel(searchPage);
  searchStatus_->setWordWrap(true);
  searchLayout->addWidget(query);
  searchLayout->addWidget(searchStatus_);
  searchLayout->addWidget(search->resultWidget(), 1);
  tabs_->addTab(searchPage, tr("Search"));
  connect(query, &QHelpSearchQueryWidget::search, this, [this, query] { Search(query->searchInput()); });
  connect(search->resultWidget(), &QHelpSearchResultWidget::requestShowLink, this, &HelpWindow::ShowUrl);
  connect(search, &QHelpSearchEngine::indexingStarted, this, [this] {
    indexing_ = true;
    searchStatus_->setText(tr("Preparing the search index..."));
  });
  connect(search, &QHelpSearchEngine::indexingFinished, this, [this] {
    indexing_ = false;
    searchStatus_->clear();
    if (!pendingSearch_.isEmpty()) Search(std::exchange(pendingSearch_, QString()));
  });
  connect(search, &QHelpSearchEngine::searchingFinished, this, [this](int hits) {
    searchStatus_->setText(hits == 0 ? tr("Nothing found.") : tr("%n page(s) found.", nullptr, hits));
  });
  search->scheduleIndexDocumentation();

  auto* bar = addToolBar(tr("Navigation"));
  bar->setMovable(false);
  QAction* home = bar->addAction(QIcon::fromTheme(QStringLiteral("go-home")), tr("Home"), this,
                                 &HelpWindow::GoHome);
  home->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
  QAction* back = bar->addAction(QIcon::fromTheme(QStringLiteral("go-previous")), tr("Back"),
                                 browser_, &QTextBrowser::backward);
  back->setShortcut(QKeySequence::Back);
  QAction* forward = bar->addAction(QIcon::fromTheme(QStringLiteral("go-next")), tr("Forward"),
                                    browser_, &QTextBrowser::forward);
  forward->setShortcut(QKeySequence::Forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  back->setEnabled(false);
  forward->setEnabled(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  // Ctrl+F goes to the search words, Ctrl+I to the index filter.
  auto* find = new QAction(this);
  find->setShortcut(QKeySequence::Find);
  connect(find, &QAction::triggered, this, [this, query] {
    tabs_->setCurrentIndex(2);
    query->setFocus();
  });
  auto* lookUp = new QAction(this);
  lookUp->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  connect(lookUp, &QAction::triggered, this, [this] {
    tabs_->setCurrentIndex(1);
    indexFilter_->setFocus();
    indexFilter_->selectAll();
  });
  addActions({find, lookUp});
}

void HelpWindow::Search(const QString& words) {
  if (words.trimmed().isEmpty()) return;
  tabs_->setCurrentIndex(2);
  engine_->searchEngine()->queryWidget()->setSearchInput(words);
  if (indexing_) {
    pendingSearch_ = words;
    return;
  }
  engine_->searchEngine()->search(words);
}

void HelpWindow::ShowIndexEntry(const QString& keyword) {
  tabs_->setCurrentIndex(1);
  indexFilter_->setText(keyword);
  const QList<QHelpLink> links = engine_->documentsForKeyword(keyword);
  if (!links.isEmpty()) ShowUrl(links.first().url);
}

void HelpWindow::ShowUrl(const QUrl& url) {
  if (url.scheme() != QLatin1String("qthelp")) return;
  browser_->setSource(url);
}

void HelpWindow::GoHome() {
  if (home_.isValid()) ShowUrl(home_);
}

}  // namespace zel
