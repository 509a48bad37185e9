// The main window: a menu bar of six commands over nine tabs. One class, its member functions
// spread by tab: tfprincip.cpp (building the window), tfprincip_commandes.cpp (start-up, view
// refresh, menu commands, closing), tfprincip_listes.cpp (the ranked lists and their filters),
// tfprincip_infos.cpp, tfprincip_graphiques.cpp and tfprincip_retours.cpp.
#pragma once

#include "ui/modeles.h"
#include "vues/vue_graphiques.h"
#include "vues/vue_infos.h"
#include "vues/vue_listes.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <string>

class QAbstractItemView;
class QAction;
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
class ControleOnglets;
class ModeleEntrees;
class SurfaceDessin;
class TFApropos;
class TFOptions;

class TFPrincip : public QMainWindow {
    Q_OBJECT
  public:
    // The key code that the key handlers receive for Return and Enter; other keys come as
    // Qt::Key values.
    static constexpr int kToucheEntree = 13;
    // Client area (below the menu bar).
    static constexpr int kLargeur = 654;
    static constexpr int kHauteur = 658;

    // The window shows and changes base; its table files live in base.Repertoire().
    explicit TFPrincip(Base& base, QWidget* parent = nullptr);
    ~TFPrincip() override;

    // The dialogs shown by "&A Propos" and "&Options"; they belong to the caller.
    void FixeDialogues(TFApropos* apropos, TFOptions* options);

    // Start-up, once, when the window is first shown.
    void FormShow();
    // Rebuilds every list, the name indexes, the summary counts and the two chart lists from
    // the tables.
    void RafraichitVues();
    // The menu commands.
    void Ouvrir1Click();
    void Enregistrer1Click();
    void Reinitialiser1Click();
    void Options1Click();
    void APropos1Click();
    void Quitter1Click();
    // Asked before the window closes: clears CanClose to keep it open.
    void FormCloseQuery(bool& CanClose);

    // List filters of the Pages, Images, IP and Référents tabs.
    void BFiltre1Click();
    void BFiltre3Click();
    void BFiltre4Click();
    void BFiltre5Click();
    void EFiltre1KeyUp(int key);
    void EFiltre3KeyUp(int key);
    void EFiltre4KeyUp(int key);
    void EFiltre5KeyUp(int key);
    void FiltrePages();
    void FiltreImages();
    void FiltreIP();
    void FiltreOrigines();
    // The model of one of the five ranked lists.
    ModeleListe& ModeleDe(Liste liste);
    // The table line shown on the current row of a list over a ModeleListe, or -1.
    static int LigneTableCourante(const QAbstractItemView* liste);

    // Infos tab (tfprincip_infos.cpp). The double-click handlers of the list tabs receive the
    // table line of the double-clicked row.
    void BPageClick();
    void BNomDClick();
    void BDownloadClick();
    void BReferentClick();
    void LBSearchClick();
    void BFiltre2Click();
    void EFiltre2KeyUp(int key);
    void LVAfficheDblClick();
    void VLPagesDblClick(int ligne);
    void LVIPDblClick(int ligne);
    void LVDownloadDblClick(int ligne);
    void LVOrigineDblClick(int ligne);

    // Charts tab (tfprincip_graphiques.cpp). Drawing happens inside PaintBox1's paint event;
    // the click handlers change the state, set the labels and ask for a repaint.
    void LBListAnneeClick();
    void LBListMoisClick();
    void PaintBox1Paint(QPainter& p);

    // Error-status tab (tfprincip_retours.cpp): the click handler of the 24 status buttons.
    void B400Click();

    // The Infos tab's state (ModeRecherche, ModeFiltre, entries, results) and the charts tab's
    // (ModeGraphique); the widgets show them.
    EtatInfos Infos;
    EtatGraphique Graphique;

    // Widgets, named as their objectName.
    QAction* Ouvrir1;
    QAction* Enregistrer1;
    QAction* Reinitialiser1;
    QAction* Options1;
    QAction* APropos1;
    QAction* Quitter1;
    QFileDialog* OpenDialog1;
    ControleOnglets* PageControl1;
    std::array<QWidget*, 9> TabSheets{}; // TabSheet1 to TabSheet9

    // "Général"
    QLabel* Label41;
    QProgressBar* ProgressBar1;
    QTableWidget* SGGen;

    // The four filtered lists and the downloads list.
    QLineEdit* EFiltre1;
    QLineEdit* EFiltre3;
    QLineEdit* EFiltre4;
    QLineEdit* EFiltre5;
    QPushButton* BFiltre1;
    QPushButton* BFiltre3;
    QPushButton* BFiltre4;
    QPushButton* BFiltre5;
    QTableView* VLPages;
    QTableView* LVImages;
    QTableView* LVIP;
    QTableView* LVOrigine;
    QTableView* LVDownload;
    ModeleListe* ModelePages;
    ModeleListe* ModeleImages;
    ModeleListe* ModeleIP;
    ModeleListe* ModeleOrigines;
    ModeleListe* ModeleDownloads;

    // "Infos"
    QPushButton* BPage;
    QPushButton* BNomD;
    QPushButton* BDownload;
    QPushButton* BReferent;
    QLineEdit* EFiltre2;
    QPushButton* BFiltre2;
    QLabel* LExplI0;
    QListView* LBSearch;
    ModeleEntrees* ModeleSearch; // Infos.Entrees
    ChoixListe* ChoixSearch;
    QLabel* LAffiche;
    QTableView* LVAffiche;
    ModeleTextes* ModeleAffiche;

    // "Graphiques annuels"
    QLabel* Label39;
    QLabel* Label40;
    QListWidget* LBListAnnee;
    QListWidget* LBListMois;
    ChoixListe* ChoixAnnee;
    ChoixListe* ChoixMois;
    SurfaceDessin* PaintBox1;
    std::array<QLabel*, 12> LabelsMois{};  // Label3 to Label14
    std::array<QLabel*, 31> LabelsJours{}; // days 1 to 31: Label42 to Label45, Label50...
    QLabel* LHCalc1;
    QLabel* LHCalc2;
    QLabel* LHCalc3;
    QLabel* LVCalc1;
    QLabel* LVCalc2;
    QLabel* LVCalc3;
    QLabel* LExpl0;
    QLabel* lExpl1;
    QLabel* LExpl2;

    // "Statistiques des Retours"
    std::array<QPushButton*, 24> BoutonsRetour{}; // B400 to B417, then B500 to B505
    QLabel* LExpl3;
    QLabel* LExpl4;
    QTableView* LVRetours;
    ModeleTextes* ModeleRetours;
    QLabel* LCount3;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* objet, QEvent* event) override;

  private:
    void CreeMenu();
    void CreeGeneral(QWidget* page);
    void CreeListe(QWidget* page, Liste liste);
    void CreeInfos(QWidget* page);
    void CreeGraphiques(QWidget* page);
    void CreeRetours(QWidget* page);
    void RelieListes();
    void Filtre(Liste liste);
    // Enables the commands that need every table loaded.
    void MajCommandes();
    void EcritEnTetesResume();
    // Releases the name indexes and the tables once the window closes.
    void Libere();

    // Infos tab: runs one event of Infos, then shows the state; effets tells what the event may
    // have changed (kEntrees, kResultats). A failure is shown after the state. Returns whether
    // the event completed.
    static constexpr int kEntrees = 1;
    static constexpr int kResultats = 2;
    bool EvenementInfos(int effets, const std::function<void()>& evenement);
    void ChoisitModeInfos(int mode);
    void NavigueVersInfos(int mode, int ligne);
    // EFiltre2's text in Windows-1252 bytes.
    std::string TexteFiltre2() const;
    // Charts tab.
    void MontreEtiquettes(const EtiquettesGraphique& etiquettes);

    Base& base_;
    TFApropos* apropos_ = nullptr;
    TFOptions* options_ = nullptr;
    bool montree_ = false;
    // Every table was loaded (start-up or reset); false after a load that stopped on a file.
    bool chargee_ = false;
};

} // namespace sillage
