// Building the main window: the menu bar, the tab control and every widget of the nine tabs at
// its place. Positions are left, top inside a tab; sizes are width x height.
#include "ui/tfprincip.h"

#include "store/base.h"
#include "ui/modele_entrees.h"
#include "ui/onglets.h"
#include "ui/surface_dessin.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>

namespace sillage {

namespace {

// Page width inside the tab control, for labels whose text is set later.
constexpr int kLargeurPage = TFPrincip::kLargeur - 8;

template <typename W> W* Nomme(W* widget, const char* nom) {
    widget->setObjectName(QString::fromLatin1(nom));
    return widget;
}

// A label that takes the size of its text.
QLabel* Etiquette(QWidget* page, const char* nom, int x, int y, const QString& texte) {
    auto* l = Nomme(new QLabel(texte, page), nom);
    l->move(x, y);
    l->adjustSize();
    return l;
}

// A label whose text comes later: wide enough for it, one line high.
QLabel* EtiquetteVariable(QWidget* page, const char* nom, int x, int y, int largeur) {
    auto* l = Nomme(new QLabel(page), nom);
    l->setGeometry(x, y, largeur, l->fontMetrics().height() + 2);
    return l;
}

QPushButton* Bouton(QWidget* page, const char* nom, const QRect& place, const QString& texte) {
    auto* b = Nomme(new QPushButton(texte, page), nom);
    b->setGeometry(place);
    b->setAutoDefault(false);
    return b;
}

QLineEdit* Edit(QWidget* page, const char* nom, const QRect& place) {
    auto* e = Nomme(new QLineEdit(page), nom);
    e->setGeometry(place);
    return e;
}

// A report list: column headers that do not sort, one whole row selected at a time.
QTableView* ListeRapport(QWidget* page, const char* nom, const QRect& place,
                         QAbstractItemModel* modele, const std::vector<int>& largeurs) {
    auto* v = Nomme(new QTableView(page), nom);
    v->setGeometry(place);
    v->setModel(modele);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setShowGrid(false);
    v->setWordWrap(false);
    v->setTabKeyNavigation(false);
    v->setCornerButtonEnabled(false);
    v->setSortingEnabled(false);
    v->verticalHeader()->hide();
    // Fixed row heights: the view never asks a row for its size, whatever the row count.
    v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    v->verticalHeader()->setDefaultSectionSize(v->fontMetrics().height() + 4);
    QHeaderView* entetes = v->horizontalHeader();
    entetes->setSectionsClickable(false);
    entetes->setHighlightSections(false);
    entetes->setStretchLastSection(false);
    entetes->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (std::size_t c = 0; c < largeurs.size(); ++c) {
        entetes->resizeSection(static_cast<int>(c), largeurs[c]);
    }
    return v;
}

std::vector<int> Largeurs(const std::vector<ColonneListe>& colonnes) {
    std::vector<int> l;
    for (const ColonneListe& c : colonnes) {
        l.push_back(c.largeur);
    }
    return l;
}

} // namespace

TFPrincip::TFPrincip(Base& base, QWidget* parent) : QMainWindow(parent), base_(base) {
    setWindowTitle(QStringLiteral("Sillage"));
    // The layout is made for an 11-pixel sans-serif font.
    QFont police = font();
    police.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                        QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")});
    police.setStyleHint(QFont::SansSerif);
    police.setPixelSize(11);
    setFont(police);

    CreeMenu();

    auto* centre = new QWidget(this);
    centre->setFixedSize(kLargeur, kHauteur);
    setCentralWidget(centre);
    PageControl1 = Nomme(new ControleOnglets(centre), "PageControl1");
    PageControl1->setGeometry(0, 0, kLargeur, kHauteur);

    static const char* const kTitres[9] = {"Général",
                                           "Statistiques des Pages",
                                           "Statistiques des Images",
                                           "Statistiques des IP",
                                           "Statistiques des Référents",
                                           "Infos",
                                           "Graphiques annuels",
                                           "Statistiques des Downloads",
                                           "Statistiques des Retours"};
    for (int i = 0; i < 9; ++i) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        TabSheets[static_cast<std::size_t>(i)] = page;
        PageControl1->addTab(page, QString::fromUtf8(kTitres[i]));
    }
    CreeGeneral(TabSheets[0]);
    CreeListe(TabSheets[1], Liste::Pages);
    CreeListe(TabSheets[2], Liste::Images);
    CreeListe(TabSheets[3], Liste::IP);
    CreeListe(TabSheets[4], Liste::Origines);
    CreeInfos(TabSheets[5]);
    CreeGraphiques(TabSheets[6]);
    CreeListe(TabSheets[7], Liste::Downloads);
    CreeRetours(TabSheets[8]);
    RelieListes();

    OpenDialog1 = Nomme(new QFileDialog(this), "OpenDialog1");
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);

    setFixedSize(sizeHint());
    move(280, 146);
}

TFPrincip::~TFPrincip() {
    // The entry list's model shows Infos.Entrees, a member: it must go before the members do,
    // not with the other children after them.
    delete ModeleSearch;
}

void TFPrincip::FixeDialogues(TFApropos* apropos, TFOptions* options) {
    apropos_ = apropos;
    options_ = options;
}

void TFPrincip::CreeMenu() {
    QMenuBar* barre = menuBar();
    barre->setObjectName(QStringLiteral("MainMenu1"));
    const auto commande = [&](const char* nom, const QString& texte, void (TFPrincip::*action)()) {
        QAction* a = barre->addAction(texte);
        a->setObjectName(QString::fromLatin1(nom));
        connect(a, &QAction::triggered, this, action);
        return a;
    };
    Ouvrir1 = commande("Ouvrir1", QStringLiteral("&Ouvrir"), &TFPrincip::Ouvrir1Click);
    Enregistrer1 =
        commande("Enregistrer1", QStringLiteral("&Enregistrer"), &TFPrincip::Enregistrer1Click);
    Reinitialiser1 = commande("Reinitialiser1", QStringLiteral("&Reinitialiser"),
                              &TFPrincip::Reinitialiser1Click);
    Options1 = commande("Options1", QStringLiteral("&Options"), &TFPrincip::Options1Click);
    APropos1 = commande("APropos1", QStringLiteral("&A Propos"), &TFPrincip::APropos1Click);
    Quitter1 = commande("Quitter1", QStringLiteral("&Quitter"), &TFPrincip::Quitter1Click);
}

void TFPrincip::CreeGeneral(QWidget* page) {
    Label41 = Etiquette(page, "Label41", 24, 16, QStringLiteral("Chargement :"));
    ProgressBar1 = Nomme(new QProgressBar(page), "ProgressBar1");
    ProgressBar1->setGeometry(96, 16, 489, 16);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    SGGen = Nomme(new QTableWidget(6, 4, page), "SGGen");
    SGGen->setGeometry(24, 72, 561, 497);
    SGGen->horizontalHeader()->hide();
    SGGen->verticalHeader()->hide();
    SGGen->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SGGen->setSelectionMode(QAbstractItemView::NoSelection);
    SGGen->setFocusPolicy(Qt::NoFocus);
    SGGen->setWordWrap(false);
    const int largeurs[4] = {64, 164, 189, 132};
    for (int c = 0; c < 4; ++c) {
        SGGen->setColumnWidth(c, largeurs[c]);
    }
    for (int r = 0; r < 6; ++r) {
        SGGen->setRowHeight(r, 24);
        for (int c = 0; c < 4; ++c) {
            auto* cellule = new QTableWidgetItem;
            cellule->setFlags(Qt::ItemIsEnabled);
            if (r == 0 || c == 0) {
                // The fixed first row and column: header cells.
                cellule->setBackground(SGGen->palette().button());
            }
            SGGen->setItem(r, c, cellule);
        }
    }
}

void TFPrincip::CreeListe(QWidget* page, Liste liste) {
    struct Noms {
        const char* etiquette;
        const char* edit;
        const char* bouton;
        const char* vue;
    };
    Noms noms{};
    ModeleListe*& modele = [&]() -> ModeleListe*& {
        switch (liste) {
        case Liste::Pages:
            noms = {"Label1", "EFiltre1", "BFiltre1", "VLPages"};
            return ModelePages;
        case Liste::Images:
            noms = {"Label2", "EFiltre3", "BFiltre3", "LVImages"};
            return ModeleImages;
        case Liste::IP:
            noms = {"Label27", "EFiltre4", "BFiltre4", "LVIP"};
            return ModeleIP;
        case Liste::Origines:
            noms = {"Label28", "EFiltre5", "BFiltre5", "LVOrigine"};
            return ModeleOrigines;
        case Liste::Downloads:
            break;
        }
        noms = {nullptr, nullptr, nullptr, "LVDownload"};
        return ModeleDownloads;
    }();
    modele = new ModeleListe(ColonnesListe(liste), this);
    modele->setObjectName(QStringLiteral("Modele%1").arg(QString::fromLatin1(noms.vue)));
    const std::vector<int> largeurs = Largeurs(ColonnesListe(liste));

    if (liste == Liste::Downloads) {
        LVDownload = ListeRapport(page, noms.vue, QRect(8, 16, 625, 545), modele, largeurs);
        return;
    }
    Etiquette(page, noms.etiquette, 8, 8, QStringLiteral("Filtre :"));
    QLineEdit* edit = Edit(page, noms.edit, QRect(8, 32, 473, 21));
    QPushButton* bouton =
        Bouton(page, noms.bouton, QRect(488, 32, 145, 21), QStringLiteral("Appliquer"));
    QTableView* vue = ListeRapport(page, noms.vue, QRect(8, 64, 625, 529), modele, largeurs);
    edit->installEventFilter(this);
    switch (liste) {
    case Liste::Pages:
        EFiltre1 = edit, BFiltre1 = bouton, VLPages = vue;
        break;
    case Liste::Images:
        EFiltre3 = edit, BFiltre3 = bouton, LVImages = vue;
        break;
    case Liste::IP:
        EFiltre4 = edit, BFiltre4 = bouton, LVIP = vue;
        break;
    case Liste::Origines:
        EFiltre5 = edit, BFiltre5 = bouton, LVOrigine = vue;
        break;
    case Liste::Downloads:
        break;
    }
}

void TFPrincip::CreeInfos(QWidget* page) {
    BPage = Bouton(page, "BPage", QRect(16, 8, 65, 25), QStringLiteral("Pages"));
    BNomD = Bouton(page, "BNomD", QRect(88, 8, 65, 25), QStringLiteral("IP"));
    BDownload = Bouton(page, "BDownload", QRect(160, 8, 65, 25), QStringLiteral("Download"));
    BReferent = Bouton(page, "BReferent", QRect(232, 8, 65, 25), QStringLiteral("Référent"));
    EFiltre2 = Edit(page, "EFiltre2", QRect(384, 8, 169, 21));
    EFiltre2->installEventFilter(this);
    BFiltre2 = Bouton(page, "BFiltre2", QRect(560, 8, 59, 25), QStringLiteral("Appliquer"));
    LExplI0 = EtiquetteVariable(page, "LExplI0", 16, 40, 600);

    ModeleSearch = new ModeleEntrees(Infos.Entrees, this);
    ModeleSearch->setObjectName(QStringLiteral("ModeleLBSearch"));
    LBSearch = Nomme(new QListView(page), "LBSearch");
    LBSearch->setGeometry(16, 56, 601, 193);
    LBSearch->setModel(ModeleSearch);
    LBSearch->setSelectionMode(QAbstractItemView::SingleSelection);
    LBSearch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LBSearch->setUniformItemSizes(true);

    LAffiche = EtiquetteVariable(page, "LAffiche", 16, 256, 600);
    ModeleAffiche = new ModeleTextes(
        {QStringLiteral("Nom"), QStringLiteral("Acces"), QStringLiteral("Date")}, {}, this);
    ModeleAffiche->setObjectName(QStringLiteral("ModeleLVAffiche"));
    LVAffiche =
        ListeRapport(page, "LVAffiche", QRect(16, 272, 601, 289), ModeleAffiche, {400, 50, 100});
}

void TFPrincip::CreeGraphiques(QWidget* page) {
    Label39 = Etiquette(page, "Label39", 24, 8, QStringLiteral("Cliquez sur l'année :"));
    Label40 = Etiquette(
        page, "Label40", 240, 8,
        QStringLiteral("Cliquez sur le mois pour lequel vous souhaitez avoir le graphique :"));
    LBListAnnee = Nomme(new QListWidget(page), "LBListAnnee");
    LBListAnnee->setGeometry(24, 32, 201, 201);
    LBListMois = Nomme(new QListWidget(page), "LBListMois");
    LBListMois->setGeometry(240, 32, 393, 201);
    for (QListWidget* l : {LBListAnnee, LBListMois}) {
        l->setSelectionMode(QAbstractItemView::SingleSelection);
    }

    PaintBox1 =
        Nomme(new SurfaceDessin([this](QPainter& p) { PaintBox1Paint(p); }, page), "PaintBox1");
    PaintBox1->setGeometry(64, 272, 495, 289);

    static const char* const kMois[12] = {"Janvier",   "Février", "Mars",     "Avril",
                                          "Mai",       "Juin",    "Juillet",  "Aout",
                                          "Septembre", "Octobre", "Novembre", "Décembre"};
    for (int m = 0; m < 12; ++m) {
        const QByteArray nom = "Label" + QByteArray::number(3 + m);
        QLabel* l = Etiquette(page, nom.constData(), 0, 272 + 24 * m, QString::fromUtf8(kMois[m]));
        l->move(57 - l->width(), l->y()); // right edge at x 57
        LabelsMois[static_cast<std::size_t>(m)] = l;
    }
    // Day labels: Label42 to Label45, Label50 to Label53, Label58 to Label69, Label81 to Label91.
    static const int kPremiers[4][2] = {{42, 4}, {50, 4}, {58, 12}, {81, 11}};
    int jour = 0;
    for (const auto& bloc : kPremiers) {
        for (int k = 0; k < bloc[1]; ++k, ++jour) {
            const QByteArray nom = "Label" + QByteArray::number(bloc[0] + k);
            LabelsJours[static_cast<std::size_t>(jour)] =
                Etiquette(page, nom.constData(), 64 + 16 * jour, 568, QString::number(jour + 1));
        }
    }

    LHCalc1 = EtiquetteVariable(page, "LHCalc1", 208, 256, 80);
    LHCalc2 = EtiquetteVariable(page, "LHCalc2", 384, 256, 80);
    LHCalc3 = EtiquetteVariable(page, "LHCalc3", 544, 256, 80);
    LVCalc1 = EtiquetteVariable(page, "LVCalc1", 568, 456, 70);
    LVCalc2 = EtiquetteVariable(page, "LVCalc2", 568, 368, 70);
    LVCalc3 = EtiquetteVariable(page, "LVCalc3", 568, 272, 70);

    LExpl0 = Etiquette(page, "LExpl0", 8, 592, QStringLiteral("Nombre total de"));
    lExpl1 = Etiquette(page, "lExpl1", 96, 592, QStringLiteral("Hits"));
    LExpl2 = Etiquette(page, "LExpl2", 128, 592, QStringLiteral("Visiteurs"));
    QPalette rouge = lExpl1->palette();
    rouge.setColor(QPalette::WindowText, QColor(255, 0, 0));
    lExpl1->setPalette(rouge);
    QPalette bleu = LExpl2->palette();
    bleu.setColor(QPalette::WindowText, QColor(0, 0, 255));
    LExpl2->setPalette(bleu);
}

void TFPrincip::CreeRetours(QWidget* page) {
    for (int k = 0; k < 24; ++k) {
        const bool rangee4xx = k < 18;
        const int code = rangee4xx ? 400 + k : 500 + (k - 18);
        const int colonne = rangee4xx ? k : k - 18;
        const QByteArray nom = "B" + QByteArray::number(code);
        QPushButton* b =
            Bouton(page, nom.constData(), QRect(8 + 32 * colonne, rangee4xx ? 8 : 38, 25, 25),
                   QString::number(code));
        // Three digits must fit in 25 pixels.
        b->setStyleSheet(QStringLiteral("padding: 0px;"));
        connect(b, &QPushButton::clicked, this, &TFPrincip::B400Click);
        BoutonsRetour[static_cast<std::size_t>(k)] = b;
    }
    LExpl3 = EtiquetteVariable(page, "LExpl3", 8, 72, 78);
    QFont gras = LExpl3->font();
    gras.setBold(true);
    LExpl3->setFont(gras);
    LExpl4 = EtiquetteVariable(page, "LExpl4", 88, 72, 540);
    ModeleRetours = new ModeleTextes(
        {QStringLiteral("Page"), QStringLiteral("Acces"), QStringLiteral("Date")}, {}, this);
    ModeleRetours->setObjectName(QStringLiteral("ModeleLVRetours"));
    LVRetours =
        ListeRapport(page, "LVRetours", QRect(8, 96, 625, 473), ModeleRetours, {400, 50, 120});
    // Only the first cell of a row is selected.
    LVRetours->setSelectionBehavior(QAbstractItemView::SelectItems);
    connect(LVRetours->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& courant) {
                if (courant.isValid() && courant.column() != 0) {
                    LVRetours->selectionModel()->setCurrentIndex(
                        courant.siblingAtColumn(0), QItemSelectionModel::ClearAndSelect);
                }
            });
    LCount3 = EtiquetteVariable(page, "LCount3", 8, 584, 400);
}

} // namespace sillage
