#include "editor/ui/dialogs/formoptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "components/ui/colorbox.h"
#include "components/ui/formdirsel.h"
#include "components/ui/urllabel.h"
#include "editor/helpmenu.h"
#include "editor/ui/dialogs/macroform.h"
#include "editor/ui/dialogs/positionwizardform.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

namespace {

std::vector<std::string> Lines(const QPlainTextEdit* memo) {
    std::vector<std::string> lines;
    for (const QString& line : memo->toPlainText().split('\n'))
        lines.push_back(FromQString(line));
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

QString JoinLines(const std::vector<std::string>& lines) {
    QStringList list;
    for (const std::string& line : lines)
        list << ToQString(line);
    return list.join('\n');
}

void FillCombo(QComboBox* combo, const std::vector<std::string>& items, const std::string& text) {
    combo->clear();
    for (const std::string& item : items)
        combo->addItem(ToQString(item));
    combo->setEditText(ToQString(text));
}

QComboBox* CompilerCombo(const char* name) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setMinimumContentsLength(40);
    return combo;
}

QSpinBox* Spin(const char* name, int low, int high, int step = 1) {
    auto* spin = new QSpinBox;
    spin->setObjectName(name);
    spin->setRange(low, high);
    spin->setSingleStep(step);
    return spin;
}

QCheckBox* Check(const char* name, const char* caption) {
    auto* check = new QCheckBox(QString::fromUtf8(caption));
    check->setObjectName(name);
    return check;
}

const char* const kLocales[] = {"0x0436   Afrikaans",
                                "0x041C   Albanian",
                                "0x0406   Danish",
                                "0x0413   Dutch",
                                "0x0409   English (U.S.)",
                                "0x0809   English (U.K.)",
                                "0x040B   Finnish",
                                "0x040C   French",
                                "0x0407   German",
                                "0x0410   Italian",
                                "0x0411   Japanese",
                                "0x0414   Norwegian",
                                "0x0416   Portuguese (Brazil)",
                                "0x0419   Russian",
                                "0x0C0A   Spanish",
                                "0x041D   Swedish"};

} // namespace

TOptionsForm::TOptionsForm(components::IMessenger& messenger, QWidget* parent)
    : QDialog(parent), messenger_(messenger), pages_(new QTabWidget) {
    setObjectName("OptionsForm");
    setWindowTitle(tr("Project Options"));
    SearchRoots = [] {
        return DefaultSearchRoots([](const char* name) { return std::getenv(name); });
    };
    PickCompiler = [this](const QString& title, const QString& filter, const QString& name) {
        return QFileDialog::getOpenFileName(this, title, name, filter);
    };
    PickFolder = [this](const QString& start) { return components::ui::SelectFolder(start, this); };
    PickBaggage = [this] {
        return QFileDialog::getOpenFileNames(this,
                                             tr("Pick files to add to help file's baggage section"),
                                             QString(), tr("All files (*)"));
    };
    EditMacro = [this](const std::string& text) -> std::optional<std::string> {
        if (!macroForm_)
            macroForm_ = new TMacroForm(this);
        macroForm_->SetMacroText(text);
        if (macroForm_->exec() != QDialog::Accepted)
            return std::nullopt;
        return macroForm_->MacroText();
    };
    BuildGeneralPage();
    BuildCompilerPage();
    BuildWinHelpPage();
    BuildHtmlHelpPage();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                         QDialogButtonBox::Help);
    buttons->button(QDialogButtonBox::Help)->setObjectName("BtnHelp");
    connect(buttons, &QDialogButtonBox::accepted, this, &TOptionsForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Each page has a help topic of its own: 19100, 19200, 19300, 19400.
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { emit HelpRequested(19100 + 100 * pages_->currentIndex()); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(buttons);
    pages_->setCurrentIndex(0);
}

void TOptionsForm::BuildGeneralPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    editTitle_ = new QLineEdit;
    editTitle_->setObjectName("EditTitle");
    editTitle_->setMaxLength(127);
    components::ui::RefuseNonAnsiInput(editTitle_);
    editCopyright_ = new QLineEdit;
    editCopyright_->setObjectName("EditCopyright");
    components::ui::RefuseNonAnsiInput(editCopyright_);
    comboLCID_ = new QComboBox;
    comboLCID_->setObjectName("ComboLCID");
    comboLCID_->setEditable(true);
    comboLCID_->setToolTip(tr("Please select the language your help file is written in"));
    for (const char* locale : kLocales)
        comboLCID_->addItem(locale);
    editBMRoot_ = new QLineEdit;
    editBMRoot_->setObjectName("EditBMRoot");
    components::ui::RefuseNonAnsiInput(editBMRoot_);
    form->addRow("Project &Title:", editTitle_);
    form->addRow("&Copyright:", editCopyright_);
    form->addRow("&Locale ID:", comboLCID_);
    form->addRow("&Bitmap paths:", editBMRoot_);
    spinIncr_ = Spin("SpinIncr", 1, 10000, 10);
    // Its own row, so that the long caption does not narrow the fields above.
    auto* increase = new QHBoxLayout;
    auto* increaseLabel = new QLabel(tr("&When creating a new topic, increase the topic ID by:"));
    increaseLabel->setBuddy(spinIncr_);
    increase->addWidget(increaseLabel);
    increase->addWidget(spinIncr_);
    increase->addStretch();
    form->addRow(increase);
    checkUpdateLinks_ =
        Check("CheckUpdateLinks", "Update all links to a topic when its topic ID is changed");
    checkAutoSave_ = Check("CheckAutoSave", "&Automatically save project when compiling");
    form->addRow(checkUpdateLinks_);
    form->addRow(checkAutoSave_);
    pages_->addTab(page, tr("General"));
}

void TOptionsForm::BrowseCompiler(QComboBox* combo, const char* filter, const char* title,
                                  const char* name) {
    const QString file = PickCompiler(title, filter, name);
    if (!file.isEmpty())
        combo->setEditText(file);
}

void TOptionsForm::BuildCompilerPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* folderRow = new QHBoxLayout;
    editOutputFolder_ = new QLineEdit;
    editOutputFolder_->setObjectName("EditOutputFolder");
    auto* browseFolder = new QPushButton(tr("..."));
    browseFolder->setObjectName("BtnOutputFolder");
    connect(browseFolder, &QPushButton::clicked, this, [this] {
        const QString folder = PickFolder(editOutputFolder_->text());
        if (!folder.isEmpty())
            editOutputFolder_->setText(folder);
    });
    auto* folderLabel = new QLabel(tr("Output &Folder:"));
    folderLabel->setBuddy(editOutputFolder_);
    browseFolder->setMaximumWidth(40);
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(editOutputFolder_, 1);
    folderRow->addWidget(browseFolder);
    layout->addLayout(folderRow);

    listBuildTag_ = new QListWidget;
    listBuildTag_->setObjectName("ListBuildTag");
    listBuildTag_->setMaximumHeight(90);
    connect(listBuildTag_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        buildTags_.SetChecked(static_cast<std::size_t>(listBuildTag_->row(item)),
                              item->checkState() == Qt::Checked);
    });
    auto* tagLabel = new QLabel(tr("B&uild tag:"));
    tagLabel->setBuddy(listBuildTag_);
    layout->addWidget(tagLabel);
    layout->addWidget(listBuildTag_);

    auto* group = new QGroupBox(tr(" Help compiler "));
    auto* grid = new QGridLayout(group);
    radioHCWin31_ =
        new QRadioButton(tr("&16-bit WinHelp (Windows 3.1, 95, 98, ME, NT4, 2000, XP)"));
    radioHCWin31_->setObjectName("RadioHCWin31");
    radioHCWin95_ = new QRadioButton(tr("&32-bit WinHelp (Windows 95, 98, ME, NT4, 2000, XP)"));
    radioHCWin95_->setObjectName("RadioHCWin95");
    radioHCHTML_ = new QRadioButton(tr("&HTML Help (Windows 98, ME, 2000, XP, Vista)"));
    radioHCHTML_->setObjectName("RadioHCHTML");
    radioHCHTML_->setChecked(true);
    comboHCWin31_ = CompilerCombo("ComboHCWin31");
    comboHCWin95_ = CompilerCombo("ComboHCWin95");
    comboHCHTML_ = CompilerCombo("ComboHCHTML");
    struct Row {
        QRadioButton* radio;
        QComboBox* combo;
        const char* button;
        const char* filter;
        const char* title;
        const char* name;
    } rows[] = {{radioHCWin31_, comboHCWin31_, "BtnHCWin31",
                 "16-bit WinHelp compiler HCP.exe (*.exe *.EXE);;All files (*)",
                 "Select 16-bit WinHelp compiler HCP.exe", "HCP.exe"},
                {radioHCWin95_, comboHCWin95_, "BtnHCWin95",
                 "32-bit WinHelp compiler HCRTF.exe (*.exe *.EXE);;All files (*)",
                 "Select 32-bit WinHelp compiler HCRTF.exe", "HCRTF.exe"},
                {radioHCHTML_, comboHCHTML_, "BtnHCHTML",
                 "HTML Help compiler HHC.exe (*.exe *.EXE chmcmd);;All files (*)",
                 "Select HTML Help compiler HHC.exe", "HHC.exe"}};
    int r = 0;
    for (const Row& row : rows) {
        auto* browse = new QPushButton(tr("..."));
        browse->setObjectName(row.button);
        browse->setMaximumWidth(40);
        connect(browse, &QPushButton::clicked, this,
                [this, row] { BrowseCompiler(row.combo, row.filter, row.title, row.name); });
        grid->addWidget(row.radio, r++, 0, 1, 2);
        grid->addWidget(row.combo, r, 0);
        grid->addWidget(browse, r++, 1);
    }
    auto* find = new QPushButton(tr("Search for help compilers"));
    find->setObjectName("BtnFindHC");
    connect(find, &QPushButton::clicked, this, &TOptionsForm::FindCompilers);
    grid->addWidget(find, r++, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(new QLabel(tr("All help compilers can be downloaded from:")), r++, 0, 1, 2);
    auto* download = new components::ui::TURLLabel;
    download->setObjectName("URLCompilers");
    download->setText(kProductWebSite);
    download->SetURL(kProductWebSite);
    grid->addWidget(download, r++, 0, 1, 2, Qt::AlignLeft);
    layout->addWidget(group);
    checkCHeaders_ =
        Check("CheckCHeaders", "&Generate C include file containing Topic ID constants");
    layout->addWidget(checkCHeaders_);
    layout->addStretch();
    pages_->addTab(page, tr("Compiler"));
}

void TOptionsForm::BuildWinHelpPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    comboDelphi_ = new QComboBox;
    comboDelphi_->setObjectName("ComboDelphi");
    for (const std::string& name : HelpFileKindNames())
        comboDelphi_->addItem(ToQString(name));
    connect(comboDelphi_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        const int current = radioHCWin31_->isChecked() ? 0 : radioHCWin95_->isChecked() ? 1 : 2;
        const int wanted = CompilerForKindIndex(index, current);
        (wanted == 0   ? radioHCWin31_
         : wanted == 1 ? radioHCWin95_
                       : radioHCHTML_)
            ->setChecked(true);
    });
    memoConfig_ = new QPlainTextEdit;
    memoConfig_->setObjectName("MemoConfig");
    memoBaggage_ = new QPlainTextEdit;
    memoBaggage_->setObjectName("MemoBaggage");
    editCitation_ = new QLineEdit;
    editCitation_->setObjectName("EditCitation");
    editCitation_->setMaxLength(2000);
    checkCompress_ =
        Check("CheckCompress", "C&ompress the .hlp file (slows down compilation significantly)");
    checkNoImages_ = Check("CheckNoImages", "Do not put images in compiled .hlp file");
    form->addRow("&Kind of Help File:", comboDelphi_);
    auto* btnConfig = new QPushButton(tr("..."));
    btnConfig->setObjectName("BtnConfig");
    btnConfig->setMaximumWidth(40);
    connect(btnConfig, &QPushButton::clicked, this, [this] {
        // The lines are one macro string to the editor, ";" between them.
        const std::optional<std::string> macro =
            EditMacro(FromQString(memoConfig_->toPlainText().split('\n').join(';')));
        if (macro)
            memoConfig_->setPlainText(ToQString(*macro).replace(';', '\n'));
    });
    auto* btnBaggage = new QPushButton(tr("..."));
    btnBaggage->setObjectName("BtnBaggage");
    btnBaggage->setMaximumWidth(40);
    connect(btnBaggage, &QPushButton::clicked, this, [this] {
        for (const QString& file : PickBaggage())
            memoBaggage_->appendPlainText(file);
    });
    auto* configRow = new QHBoxLayout;
    configRow->addWidget(memoConfig_, 1);
    configRow->addWidget(btnConfig, 0, Qt::AlignTop);
    auto* baggageRow = new QHBoxLayout;
    baggageRow->addWidget(memoBaggage_, 1);
    baggageRow->addWidget(btnBaggage, 0, Qt::AlignTop);
    auto* configLabel = new QLabel(tr("Con&figuration:"));
    configLabel->setBuddy(memoConfig_);
    form->addRow(configLabel, configRow);
    form->addRow("Baggage:", baggageRow);
    form->addRow("C&itation:", editCitation_);
    form->addRow(checkCompress_);
    form->addRow(checkNoImages_);
    pages_->addTab(page, tr("WinHelp"));
}

void TOptionsForm::BuildHtmlHelpPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* images = new QGroupBox(tr(" Convert SHG and BMP images to "));
    images->setObjectName("RadioHTMLImages");
    auto* imageRow = new QHBoxLayout(images);
    radioPng_ = new QRadioButton(tr("&PNG (recommended)"));
    radioGif_ = new QRadioButton(tr("&GIF"));
    radioPng_->setChecked(true);
    imageRow->addWidget(radioPng_);
    imageRow->addWidget(radioGif_);
    layout->addWidget(images);

    auto* colors = new QGroupBox(tr(" HTML colors "));
    auto* colorForm = new QFormLayout(colors);
    auto color = [&](components::ui::TVXColorBox*& box, const char* name, const char* caption) {
        box = new components::ui::TVXColorBox;
        box->setObjectName(name);
        colorForm->addRow(caption, box);
    };
    color(colorBackground_, "ColorHTMLBackground", "Background:");
    color(colorText_, "ColorHTMLText", "Text:");
    color(colorLinks_, "ColorHTMLLinks", "Links:");
    color(colorVisited_, "ColorHTMLVisited", "Visited links:");
    color(colorActive_, "ColorHTMLActive", "Active links:");
    layout->addWidget(colors);

    checkFullText_ = Check("CheckHTMLFullTextSearch", "&Compile full-text search information");
    checkAdvanced_ = Check("CheckHTMLAdvancedFullTextSearch", "&Enable advanced full-text search");
    checkFavorites_ = Check("CheckHTMLFavorites", "Show &Favorites tab");
    checkCollapse_ = Check("CheckHTMLCollapseCNT", "A&utomatically collapse table of contents");
    connect(checkFullText_, &QCheckBox::toggled, checkAdvanced_, &QWidget::setEnabled);
    checkAdvanced_->setEnabled(false);
    for (QCheckBox* check : {checkFullText_, checkAdvanced_, checkFavorites_, checkCollapse_})
        layout->addWidget(check);

    auto* position = new QGroupBox(tr(" Help window position "));
    auto* positionForm = new QFormLayout(position);
    spinX_ = Spin("SpinX", 0, 9999);
    spinY_ = Spin("SpinY", 0, 9999);
    spinWidth_ = Spin("SpinWidth", 1, 9999);
    spinHeight_ = Spin("SpinHeight", 1, 9999);
    positionForm->addRow("Left:", spinX_);
    positionForm->addRow("Top:", spinY_);
    positionForm->addRow("Width:", spinWidth_);
    positionForm->addRow("Height:", spinHeight_);
    wizardBtn_ = new QPushButton("Position &wizard");
    wizardBtn_->setObjectName("WizardBtn");
    positionForm->addRow(wizardBtn_);
    connect(wizardBtn_, &QPushButton::clicked, this, [this] {
        const auto placed = PositionWizard().Execute(
            QRect(spinX_->value(), spinY_->value(), spinWidth_->value(), spinHeight_->value()));
        if (!placed)
            return;
        const TPixelRect r = HelpWindowFromWizard(
            {placed->left(), placed->top(), placed->width(), placed->height()});
        spinX_->setValue(r.Left);
        spinY_->setValue(r.Top);
        spinWidth_->setValue(r.Width);
        spinHeight_->setValue(r.Height);
    });
    checkSavePos_ = Check("CheckSavePos", "&Remember window position set by the user");
    positionForm->addRow(checkSavePos_);
    layout->addWidget(position);
    checkNoPopups_ = Check("CheckHTMLNoPopups", "C&onvert popup links into regular links");
    layout->addWidget(checkNoPopups_);
    layout->addStretch();
    pages_->addTab(page, tr("HTML Help"));
}

TPositionWizardForm& TOptionsForm::PositionWizard() {
    if (!positionWizard_)
        positionWizard_ = new TPositionWizardForm(this);
    return *positionWizard_;
}

void TOptionsForm::SetValues(const TProjectOptionsValues& v,
                             const std::vector<std::string>& projectTags) {
    editTitle_->setText(ToQString(v.Title));
    editCopyright_->setText(ToQString(v.Copyright));
    comboLCID_->setEditText(ToQString(v.LocaleID));
    editBMRoot_->setText(ToQString(v.BitmapPaths));
    spinIncr_->setValue(v.Settings.IDIncrease);
    checkUpdateLinks_->setChecked(v.Settings.UpdateLinks);
    checkAutoSave_->setChecked(v.Settings.AutoSaveCompile);
    editOutputFolder_->setText(ToQString(v.OutputFolder));
    buildTags_.SetBuildTags(projectTags, v.BuildTags);
    listBuildTag_->clear();
    for (const auto& [tag, on] : buildTags_.Entries()) {
        auto* item = new QListWidgetItem(ToQString(tag));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        listBuildTag_->addItem(item);
    }
    (v.CompilerRadio == helpproject::THelpCompiler::WinHelp16   ? radioHCWin31_
     : v.CompilerRadio == helpproject::THelpCompiler::WinHelp32 ? radioHCWin95_
                                                                : radioHCHTML_)
        ->setChecked(true);
    FillCombo(comboHCWin31_, v.HC31Items, v.HC31Path);
    FillCombo(comboHCWin95_, v.HC95Items, v.HC95Path);
    FillCombo(comboHCHTML_, v.HCHTMLItems, v.HCHTMLPath);
    checkCHeaders_->setChecked(v.CHeader);
    comboDelphi_->setCurrentIndex(v.KindIndex);
    memoConfig_->setPlainText(JoinLines(v.Config));
    memoBaggage_->setPlainText(JoinLines(v.Baggage));
    editCitation_->setText(ToQString(v.Citation));
    checkCompress_->setChecked(v.Compress);
    checkNoImages_->setChecked(v.NoImages);
    (v.PngImages ? radioPng_ : radioGif_)->setChecked(true);
    colorBackground_->SetSelected(v.Background);
    colorText_->SetSelected(v.Text);
    colorLinks_->SetSelected(v.Links);
    colorVisited_->SetSelected(v.Visited);
    colorActive_->SetSelected(v.Active);
    checkFullText_->setChecked(v.FullTextSearch);
    checkAdvanced_->setChecked(v.AdvancedSearch);
    checkAdvanced_->setEnabled(v.FullTextSearch);
    checkFavorites_->setChecked(v.Favorites);
    checkCollapse_->setChecked(v.CollapseContents);
    spinX_->setValue(v.X);
    spinY_->setValue(v.Y);
    spinWidth_->setValue(v.Width);
    spinHeight_->setValue(v.Height);
    checkSavePos_->setChecked(v.RememberPosition);
    checkNoPopups_->setChecked(v.PopupsAsLinks);
}

TProjectOptionsValues TOptionsForm::Values() const {
    TProjectOptionsValues v;
    v.Title = FromQString(editTitle_->text());
    v.Copyright = FromQString(editCopyright_->text());
    v.LocaleID = FromQString(comboLCID_->currentText());
    v.BitmapPaths = FromQString(editBMRoot_->text());
    v.Settings.IDIncrease = spinIncr_->value();
    v.Settings.UpdateLinks = checkUpdateLinks_->isChecked();
    v.Settings.AutoSaveCompile = checkAutoSave_->isChecked();
    v.OutputFolder = FromQString(editOutputFolder_->text());
    v.BuildTags = buildTags_.GetBuildTags();
    using helpproject::THelpCompiler;
    v.CompilerRadio = radioHCWin31_->isChecked()   ? THelpCompiler::WinHelp16
                      : radioHCWin95_->isChecked() ? THelpCompiler::WinHelp32
                      : radioHCHTML_->isChecked()  ? THelpCompiler::HtmlHelp
                                                   : THelpCompiler::None;
    v.HC31Path = FromQString(comboHCWin31_->currentText());
    v.HC95Path = FromQString(comboHCWin95_->currentText());
    v.HCHTMLPath = FromQString(comboHCHTML_->currentText());
    auto items = [](const QComboBox* combo) {
        std::vector<std::string> list;
        for (int i = 0; i < combo->count(); ++i)
            list.push_back(FromQString(combo->itemText(i)));
        return list;
    };
    v.HC31Items = items(comboHCWin31_);
    v.HC95Items = items(comboHCWin95_);
    v.HCHTMLItems = items(comboHCHTML_);
    v.CHeader = checkCHeaders_->isChecked();
    v.KindIndex = comboDelphi_->currentIndex();
    v.Config = Lines(memoConfig_);
    v.Baggage = Lines(memoBaggage_);
    v.Citation = FromQString(editCitation_->text());
    v.Compress = checkCompress_->isChecked();
    v.NoImages = checkNoImages_->isChecked();
    v.PngImages = radioPng_->isChecked();
    v.Background = colorBackground_->Selected();
    v.Text = colorText_->Selected();
    v.Links = colorLinks_->Selected();
    v.Visited = colorVisited_->Selected();
    v.Active = colorActive_->Selected();
    v.FullTextSearch = checkFullText_->isChecked();
    v.AdvancedSearch = checkAdvanced_->isChecked();
    v.Favorites = checkFavorites_->isChecked();
    v.CollapseContents = checkCollapse_->isChecked();
    v.X = spinX_->value();
    v.Y = spinY_->value();
    v.Width = spinWidth_->value();
    v.Height = spinHeight_->value();
    v.RememberPosition = checkSavePos_->isChecked();
    v.PopupsAsLinks = checkNoPopups_->isChecked();
    return v;
}

void TOptionsForm::FindCompilers() {
    components::TProgressScope progress(&messenger_, "Searching...", 0);
    const TCompilerSearchResult result =
        SearchForCompilers(SearchRoots(), [this](const std::string& folder) {
            messenger_.SetProgressText("Searching... " + folder);
            messenger_.ProcessEvents();
            return !messenger_.AbortRequested();
        });
    helpproject::TCompilerPaths paths;
    paths.HC31Sel = FromQString(comboHCWin31_->currentText());
    paths.HC95Sel = FromQString(comboHCWin95_->currentText());
    paths.HCHTMLSel = FromQString(comboHCHTML_->currentText());
    TCompilerChoices choices;
    ApplySearchResult(result, paths, choices);
    FillCombo(comboHCWin31_, choices.WinHelp16, paths.HC31Sel);
    FillCombo(comboHCWin95_, choices.WinHelp32, paths.HC95Sel);
    FillCombo(comboHCHTML_, choices.HtmlHelp, paths.HCHTMLSel);
    keywordGenerator_ = result.KeywordGenerator;
}

void TOptionsForm::accept() {
    const std::string failure = CheckOptions(Values(), [](const std::string& path) {
        std::error_code ec;
        return std::filesystem::is_regular_file(path, ec);
    });
    if (!failure.empty()) {
        messenger_.ShowMessage(components::TMessageKind::Error, "Error", failure);
        return;
    }
    QDialog::accept();
}

bool ExecuteProjectOptions(TOptionsForm& form, helpproject::TBrindlewovenProject& project,
                           helpproject::TCompilerPaths& paths, TEditorSettings& settings,
                           bool fromCode) {
    auto exists = [](const std::string& path) {
        std::error_code ec;
        return !path.empty() && std::filesystem::is_regular_file(path, ec);
    };
    TProjectOptionsValues values =
        OptionsFromProject(project, paths, CompilerListsFromPaths(paths), settings);
    helpproject::TStringList tags;
    project.GetBuildTags(tags, true);
    form.SetValues(values, tags);
    if (!exists(paths.HC31Sel) && !exists(paths.HC95Sel) && !exists(paths.HCHTMLSel))
        form.FindCompilers();
    if (form.exec() != QDialog::Accepted) {
        if (fromCode)
            throw components::EAbort(kOptionsDialogCanceled);
        return false;
    }
    values = form.Values();
    ApplyOptionsToProject(values, project, paths, settings);
    StoreCompilerLists({values.HC31Items, values.HC95Items, values.HCHTMLItems}, paths);
    if (!form.KeywordGenerator().empty())
        paths.KWGen = form.KeywordGenerator();
    return true;
}

} // namespace editor::ui
