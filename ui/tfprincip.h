// The main window: a menu bar of seven commands over ten tabs. One class, its member functions
// spread over one room per tab, each holding the tab's construction, wiring and handlers:
// tfprincip.cpp (the frame: menu bar and tab control), tfprincip_commandes.cpp (start-up, view
// refresh, menu commands, closing), tfprincip_general.cpp, tfprincip_listes.cpp (the ranked lists
// and their filters), tfprincip_infos.cpp, tfprincip_graphiques.cpp, tfprincip_retours.cpp and
// tfprincip_visiteurs.cpp; tfprincip_periodes.cpp (the period selector: every tab shows the whole
// history or one period); tfprincip_export.cpp writes what a tab shows as CSV.
//
// The widgets are private; each one's objectName is its name in the system (LVIP, EFiltre1,
// B400...), which is how tests find them.
#pragma once

#include "import/import.h"
#include "import/session.h"
#include "store/base.h"
#include "store/table.h"
#include "store/verrou.h"
#include "ui/evenements.h"
#include "ui/modeles.h"
#include "vues/vue_graphiques.h"
#include "vues/vue_infos.h"
#include "vues/vue_listes.h"
#include "vues/vue_registre.h"
#include "vues/vue_visiteurs.h"

#include <QMainWindow>
#include <QRect>
#include <QStringList>

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPainter;
class QProgressBar;
class QPushButton;
class QTableView;
class QTableWidget;

namespace sillage {

class Base;
class ChoixListe;
class EcrivainTableau;
class ControleOnglets;
class ModeleEntrees;
class SurfaceDessin;
class TFApropos;
class TFOptions;

class TFPrincip : public QMainWindow {
    Q_OBJECT
  public:
    // Client area (below the menu bar).
    static constexpr int kLargeur = 654;
    static constexpr int kHauteur = 658;

    // The window shows and changes base; its table files live in base.Repertoire().
    explicit TFPrincip(Base& base, QWidget* parent = nullptr);
    ~TFPrincip() override;

    // The dialogs shown by "&A Propos" and "&Options"; they belong to the caller.
    void FixeDialogues(TFApropos* apropos, TFOptions* options);
    // Imports each log in order as "&Ouvrir" would after choosing it (sillage FICHIER...): one
    // all-or-nothing import per log, its error shown the same way; an error stops there, the
    // logs after it are not imported.
    void ImporteFichiers(const QStringList& chemins);
    // How long the window waits for the store's lock, held by another program, before it asks
    // whether to wait more (tests shorten it).
    void FixeAttenteVerrou(std::chrono::milliseconds attente) { attenteVerrou_ = attente; }
    // Where the classification of agents and the countries read their data and keep their
    // caches (FichiersDonnees::ParDefaut unless given, before the window is shown).
    void FixeDonneesVisiteurs(const FichiersDonnees& donnees) { donnees_ = donnees; }

    // Rebuilds every list, the name indexes, the summary, the two chart lists and the chosen
    // error status's rows from the tables (after a change of the tables that no command made).
    void RafraichitVues();

    // The Infos tab's state: the current mode and the mode the filter text is attached to.
    ModeInfos ModeRecherche() const { return Infos.ModeRecherche; }
    ModeInfos ModeFiltre() const { return Infos.ModeFiltre; }
    // The chart the charts tab shows.
    GenreGraphique ModeGraphique() const { return Graphique.ModeGraphique; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The key code that the key handlers receive for Return and Enter; other keys come as
    // Qt::Key values.
    static constexpr int kToucheEntree = ToucheRelachee::kEntree;

    // One of the five ranked lists, described once (tfprincip_listes.cpp): its widgets' names
    // and places, the tab it is on, and where a double-click on one of its rows leads.
    struct DescriptionListe {
        Liste liste;
        int onglet;            // its tab, from 0 (TabSheet1)
        const char* etiquette; // "Filtre :"; this and the next three are null without a filter
        const char* edit;
        const char* bouton; // "Appliquer"
        const char* lignes; // "N lignes sur M" while a filter is applied
        const char* vue;
        QRect place;     // the view's
        ModeInfos infos; // where a double-click leads; Aucun: nowhere
    };
    static const std::array<DescriptionListe, 5> kListes;
    // The widgets made from a description, and the model of its view (columns: ColonnesListe).
    struct ListeFenetre {
        const DescriptionListe* description = nullptr;
        QLineEdit* edit = nullptr;
        QLabel* lignes = nullptr;
        QTableView* vue = nullptr;
        ModeleListe* modele = nullptr;
    };

    // Building, one function per room.
    void CreeMenu();
    void CreeGeneral(QWidget* page);
    void CreeListe(QWidget* page, ListeFenetre& liste);
    void CreeInfos(QWidget* page);
    void CreeGraphiques(QWidget* page);
    void CreeRetours(QWidget* page);
    void CreeVisiteurs(QWidget* page);

    // Start-up, once, when the window is first shown.
    void FormShow();
    // Start-up found the store's files changed since their last save (e.what() says which and
    // how): asks whether to accept them as they are, keeping a copy of each aside first or not.
    // Accepted, the tables are read again and recorded as they are (chargee_); else they stay as
    // read, shown but never saved. Returns whether the tables are to be shown.
    bool AccepteModifications(const ErreurManifeste& e);
    // The menu commands.
    void Ouvrir1Click();
    void Enregistrer1Click();
    void Reinitialiser1Click();
    void Options1Click();
    void APropos1Click();
    void Quitter1Click();
    // Asked before the window closes: clears CanClose to keep it open.
    void FormCloseQuery(bool& CanClose);

    // Exports (tfprincip_export.cpp): "Exporter…" of the menu bar exports the current tab, that
    // of a context menu its list. Each writes every row the list shows (the filtered ones while
    // a filter is applied), as CSV, to the file chosen in a save dialog that proposes nom.
    void Exporter1Click();
    void Exporte(const QString& nom, const std::function<void(EcrivainTableau&)>& ecrit);
    void ExporteResume();
    void ExporteListe(const ListeFenetre& liste);
    void ExporteResultats();
    void ExporteRetours();
    // List i of the Visiteurs tab, the rows it shows (those its filter let through).
    void ExporteVisiteurs(std::size_t i);
    void ExporteGraphique();

    // Enables the commands that need every table loaded.
    void MajCommandes();
    // Releases the name indexes and the tables once the window closes.
    void Libere();
    // The tables are those of the disk now: the session and the register as loaded follow.
    void Synchronise();

    // "Général" (tfprincip_general.cpp): the summary's header cells, then its figures.
    void EcritEnTetesResume();
    void MontreResume();

    // Lists (tfprincip_listes.cpp). BFiltreClick and EFiltreKeyUp are the handlers of the four
    // "Appliquer" buttons (BFiltre1Click...) and of the four edits' key releases
    // (EFiltre1KeyUp...), told which list they are for; ListeDblClick receives the table line of
    // the double-clicked row, -1 for none (VLPagesDblClick, LVIPDblClick, LVDownloadDblClick,
    // LVOrigineDblClick).
    void BFiltreClick(ListeFenetre& liste);
    void EFiltreKeyUp(ListeFenetre& liste, int key);
    void ListeDblClick(const ListeFenetre& liste, int ligne);
    // Shows a list's rows that pass its edit's text (every row when filtre is false).
    void Remplit(ListeFenetre& liste, bool filtre);

    // Infos (tfprincip_infos.cpp): runs one event of Infos, then shows the state; effets tells
    // what the event may have changed (kEntrees, kResultats). A failure is shown after the
    // state. Returns whether the event completed.
    static constexpr int kEntrees = 1;
    static constexpr int kResultats = 2;
    bool EvenementInfos(int effets, const std::function<void()>& evenement);
    void ChoisitModeInfos(ModeInfos mode);
    void NavigueVersInfos(ModeInfos mode, int ligne);
    void BPageClick();
    void BNomDClick();
    void BDownloadClick();
    void BReferentClick();
    void LBSearchClick();
    void BFiltre2Click();
    void EFiltre2KeyUp(int key);
    void LVAfficheDblClick();
    // EFiltre2's text in UTF-8.
    std::string TexteFiltre2() const;

    // Charts (tfprincip_graphiques.cpp). Drawing happens inside PaintBox1's paint event; the
    // click handlers change the state, set the labels and ask for a repaint.
    void LBListAnneeClick();
    void LBListMoisClick();
    void PaintBox1Paint(QPainter& p);
    // The two lists filled from the tables (their choices cleared); the labels around the
    // surface and the legend below it.
    void RemplitListesGraphiques();
    void MontreEtiquettes(const EtiquettesGraphique& etiquettes);
    void MontreLegende(const std::vector<EntreeLegende>& entrees);
    // The labels while the current mode's list has nothing chosen (EtiquettesSansChoix).
    void MontreEtiquettesSansChoix();

    // Error statuses (tfprincip_retours.cpp): the click handler of the 24 status buttons, and
    // the rows of the chosen status (none: the tab is left as it is).
    void B400Click();
    void MontreRetours(QPushButton* statut);

    // Visitors (tfprincip_visiteurs.cpp). The classifier of agents, made when first needed (it
    // reads the store's robots.lst then), and the countries of hosts.
    Classificateur& Classement();
    const Pays& PaysDesHotes();
    // The summary's robot line, from the agents table.
    void MontreRobots();
    // The four lists computed again from the tables, now when the tab is shown, else when it
    // next is; the lists emptied (after the tables were released).
    void RafraichitVisiteurs();
    void VideVisiteurs();
    // Shows the four lists' rows that pass the filter's text (every row when filtre is false).
    void RemplitVisiteurs(bool filtre);
    void BFiltre6Click();
    void EFiltre6KeyUp(int key);

    // Periods (tfprincip_periodes.cpp). The views read Affichee(): the store of the period
    // chosen in CBPeriode, or the whole history; the commands work on base_, the whole store
    // and its periods, whatever is shown.
    void CreePeriodes();
    const Base& Affichee() const;
    // CBPeriode's handler: the period of choice index read when it is not yet, then shown.
    void CBPeriodeChoix(int index);
    // Reads period nom when it is not read yet, under the store's lock (taken here unless
    // verrouTenu); a period whose files changed since they were saved asks whether to read them
    // as they are. Returns whether it is read; when not, it is unavailable (its message told).
    bool LitPeriode(const std::string& nom, bool verrouTenu);
    // Shows period nom (read; empty: the whole history) in every tab, the filters applied kept,
    // the Infos entry found again; the period shown before is let go when nothing of it is to be
    // saved.
    void MontrePeriode(const std::string& nom);
    // The selector's choices from the store's periods (at each view refresh: an import or a reset
    // changes them), the period shown kept while it is read, else the whole history; the title.
    void MajPeriodes();
    // The view refresh after a save that read the store again: the period shown read again.
    void RafraichitApresRelecture();

    // The import of one chosen log by "&Ouvrir": a store folder that cannot be written is told
    // before the log is read; a log the register knows asks first whether to import only its new
    // lines (or says that it has none); a line that stops it asks whether to pass over such
    // lines, when others could be counted. Returns whether it completed (a cancelled question
    // counts as completed).
    bool ImporteLog(const QString& chemin);
    // How a log the register knows is imported: Nouveau or Entier, nothing to import nothing.
    // Asks the user; a log it does not know is imported whole without a question.
    std::optional<ModeImport> ModeDuJournal(const QString& chemin, const std::string& fichier);
    // One import of the log at chemin as demande says, the progress on the bar; returns the
    // message of what stopped it, and whether that was a line that can be passed over for
    // others to be counted.
    std::optional<QString> ImporteAvecProgression(const std::string& chemin,
                                                  const DemandeImport& demande,
                                                  bool& ligneIllisible);
    // The store's lock for a load, a save or a reset: while another program holds it the window
    // waits, then asks whether to wait more; nothing when the user gave up.
    std::optional<Verrou> Reserve();
    // "&Enregistrer" and the close question's Yes: saves under the lock; over a store that another
    // program saved meanwhile, the imports made here are redone on it first (Session), and the
    // window says what the other program had imported. Returns whether the tables of the window
    // are now those of the disk.
    bool Enregistre();
    // What another program imported into the store since the tables were last loaded or saved
    // here: the register on the disk beside registreSynchronise_; nothing when it cannot be read.
    // The caller holds the store's lock.
    std::optional<std::vector<ImportEntreTemps>> ImportsDuDisque() const;
    // Where the open dialog starts (DossierOuverture).
    QString DossierDialogue() const;

    Base& base_;
    TFApropos* apropos_ = nullptr;
    TFOptions* options_ = nullptr;
    bool montree_ = false;
    // The folder of the last log opened in this run, empty before the first.
    std::string dossierDernierLog_;
    // The folder of the last export of this run, empty before the first.
    QString dossierExport_;
    // Every table was loaded (start-up or reset); false after a load that stopped on a file.
    bool chargee_ = false;
    // What the window changed since the tables were last loaded or saved.
    Session session_;
    // The register of imported logs as last loaded or saved: what another program imported since
    // is what the disk's register holds beyond it.
    Table registreSynchronise_;
    std::chrono::milliseconds attenteVerrou_{2000};
    // Who visits: the data read, the classifier and the countries once made, the lists
    // computed (and whether they follow the tables).
    FichiersDonnees donnees_ = FichiersDonnees::ParDefaut();
    std::unique_ptr<Classificateur> classement_;
    std::unique_ptr<Pays> pays_;
    VueVisiteurs visiteurs_;
    bool visiteursAJour_ = false;
    // The period the tabs show (periodes.h), empty for the whole history; the periods that could
    // not be read, with why.
    std::string periode_;
    std::map<std::string, std::string> indisponibles_;

    // The frame and the commands.
    QAction* Ouvrir1 = nullptr;
    QAction* Enregistrer1 = nullptr;
    QAction* Exporter1 = nullptr;
    QAction* Reinitialiser1 = nullptr;
    QAction* Options1 = nullptr;
    QAction* APropos1 = nullptr;
    QAction* Quitter1 = nullptr;
    QFileDialog* OpenDialog1 = nullptr;
    ControleOnglets* PageControl1 = nullptr;
    // The period selector, at the right end of the menu bar.
    QLabel* LPeriode = nullptr;
    QComboBox* CBPeriode = nullptr;

    // "Général"
    QProgressBar* ProgressBar1 = nullptr;
    QTableWidget* SGGen = nullptr;
    QLabel* LRobots = nullptr; // the robots' hits and their share

    // The Pages, Images, IP, Référents and Downloads lists, in the order of kListes.
    std::array<ListeFenetre, 5> listes_{};

    // "Infos". The entry list's model shows Infos.Entrees: declared after it, it goes first.
    EtatInfos Infos;
    std::unique_ptr<ModeleEntrees> ModeleSearch;
    QPushButton* BPage = nullptr;
    QPushButton* BNomD = nullptr;
    QPushButton* BDownload = nullptr;
    QPushButton* BReferent = nullptr;
    QLineEdit* EFiltre2 = nullptr;
    QLabel* LExplI0 = nullptr;
    QListView* LBSearch = nullptr;
    ChoixListe* ChoixSearch = nullptr;
    QLabel* LAffiche = nullptr;
    QTableView* LVAffiche = nullptr;
    ModeleTextes* ModeleAffiche = nullptr;

    // "Graphiques annuels"
    EtatGraphique Graphique;
    QListWidget* LBListAnnee = nullptr;
    QListWidget* LBListMois = nullptr;
    SurfaceDessin* PaintBox1 = nullptr;
    std::array<QLabel*, 12> LabelsMois{};  // Label3 to Label14
    std::array<QLabel*, 31> LabelsJours{}; // days 1 to 31: Label42 to Label45, Label50...
    QLabel* LHCalc1 = nullptr;
    QLabel* LHCalc2 = nullptr;
    QLabel* LHCalc3 = nullptr;
    QLabel* LVCalc1 = nullptr;
    QLabel* LVCalc2 = nullptr;
    QLabel* LVCalc3 = nullptr;
    // The legend: LExpl0, then the series lExpl1, LExpl2 and LExpl5, then LExpl6 (the value
    // texts), laid out one after another on one line.
    std::array<QLabel*, 5> Legende{};

    // "Statistiques des Retours"
    std::array<QPushButton*, 24> BoutonsRetour{}; // B400 to B417, then B500 to B505
    QPushButton* StatutChoisi = nullptr;          // the bold one
    QLabel* LExpl3 = nullptr;
    QLabel* LExpl4 = nullptr;
    QTableView* LVRetours = nullptr;
    ModeleTextes* ModeleRetours = nullptr;
    QLabel* LCount3 = nullptr;

    // "Visiteurs": the filter, and each list's title (with its count while filtered), view and
    // model, in the order of ListeVisiteurs.
    QLineEdit* EFiltre6 = nullptr;
    struct ListeVisiteursFenetre {
        ListeVisiteurs liste;
        QLabel* titre = nullptr;
        QTableView* vue = nullptr;
        ModeleVisiteurs* modele = nullptr;
    };
    std::array<ListeVisiteursFenetre, 4> visiteursListes_{};
};

} // namespace sillage
