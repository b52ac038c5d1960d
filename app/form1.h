// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QSlider>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "announce/announcement_thread.h"
#include "app/folder_chooser.h"
#include "app/live_text.h"
#include "app/open_in_browser.h"
#include "app/sign_in_dialog.h"
#include "download/download_task.h"
#include "settings/ini_file.h"
#include "settings/sign_in_file.h"
#include "widgets/frm_about.h"
#include "widgets/t_edit.h"
#include "widgets/t_image.h"
#include "widgets/t_label.h"
#include "widgets/t_new_image.h"

namespace tarn {

// The green of the window's texts and its progress bar.
inline const QColor kFormGreen(0, 128, 0);

// Sets the colour of a widget's text (form1_controls.cpp).
void SetTextColor(QWidget* widget, const QColor& color);

// The main window. Controls are public and named as in the form so that every part of the
// program (and the tests) reach them by name.
class TForm1 : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 695;
  static constexpr int kClientHeight = 476;
  static constexpr int kDownloadTop = 416;  // the download button's resting place

  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  void SetAboutWindow(TFrm_About* about) { Frm_About = about; }

  // The executable's directory, set at first show (tests may set it before showing).
  std::string AppDir;
  // The folder chooser behind the clover; tests replace it.
  FolderChooser ChooseFolderFn = ChooseFolder;

  void LoadSettings();
  void SaveSettings();
  // Where the settings file lives, chosen once per AppDir (beside the program, or in the
  // user's configuration folder when the program's folder takes no new files).
  const std::string& SettingsFile();

  // Event handlers.
  void FormShow();
  void img1Click(QObject* sender);
  void edt_directory_URLClick(QObject* sender);
  void gift_normal_bgClick(QObject* sender);
  void img_downloadMouseEnter(QObject* sender);
  void img_downloadMouseLeave(QObject* sender);
  void img_downloadMouseDown(QObject* sender, Qt::MouseButton button);
  void img_downloadMouseUp(QObject* sender, Qt::MouseButton button);
  void lbl_aboutClick(QObject* sender);
  void lbl_aboutMouseMove(QObject* sender);
  void lbl_aboutMouseLeave(QObject* sender);
  void img_downloadClick(QObject* sender);

  // The sign-in (form1_sign_in.cpp). The entry under the save folder opens its dialog.
  void lbl_SignInClick(QObject* sender);
  void lbl_SignInMouseMove(QObject* sender);
  void lbl_SignInMouseLeave(QObject* sender);
  // Shows the proxy of ServiceOptions under the sign-in, or nothing without one.
  void ShowProxyState();
  // The saved sign-in for the next run; says once per window when others may read its file.
  net::SignIn RunSignIn();
  // Where the sign-in is kept, and how its dialog checks it (empty: against the photo host)
  // and picks a file. Tests replace them.
  std::string SignInFile = SignInFilePath();
  SignInChecker CheckSignInFn;
  CookieFileChooser ChooseCookieFileFn = ChooseCookieFile;

  // Download settings for the next run (tests shorten the pauses and timeouts).
  DownloadSettings DownloadOptions;
  // How runs over HTTPS ask today's service; Config.ini may change them.
  ServiceSettings ServiceOptions;
  bool DownloadRunning() const { return download_ && download_->Running(); }
  // A running download's reports, on the window's thread (form1_download.cpp).
  void DownloadScanReported(int total);
  void DownloadPhotoDone(int done);
  void DownloadWaiting(int64_t seconds, const std::string& why);
  void DownloadPreviewReady(const QImage& picture);
  void DownloadFinished(const std::string& message);

  // Controls, in creation order.
  TImage* gift_normal1;
  TImage* img1;
  TLabel* lbl_about;
  TNewImage* img_download;
  TImage* gift_normal_bg1;
  TLabel* lbl1;
  TLabel* lbl_ad1;
  TImage* gift_normalimg3;
  TImage* img_display;
  TLabel* lbl_DownWancheng;
  TLabel* lbl_tixing_Already;
  TLabel* lbl_DownTotal;
  TLabel* lbl_tixing_A;
  TImage* gift_normal_bg;
  TLabel* lbl_GuangBo;
  TImage* img_display_normal;
  TImage* img_display_over;
  QProgressBar* pb_download;
  QSlider* TrackBar1;
  QLabel* Loading_model;
  QLabel* Loading_Clever;
  QLabel* Loading_Normal;
  QLabel* Loading_URL;
  TEdit* edt_directory_URL;
  TEdit* edt_directory;
  QLabel* txt_download;
  TLabel* lbl_SignIn;
  TLabel* lbl_Proxy;                // "代理：host:port" when connections go through one
  std::vector<QPixmap> ImageList1;  // 16x16 pictures kept with the form, drawn nowhere
  std::vector<QPixmap> ImageList2;  // 32x32 likewise
  QTimer* tmr_ad;

  // Announcements (form1_announce.cpp).
  // Takes the feed's list on the window's thread and shows its first captions.
  void ShowAnnouncements(std::vector<std::string> list);
  void tmr_adTimer();
  void lbl_ad1Click(QObject* sender);
  void lbl_GuangBoClick(QObject* sender);
  void lbl_ad1MouseMove(QObject* sender);
  void lbl_ad1MouseLeave(QObject* sender);
  void lbl_GuangBoMouseMove(QObject* sender);
  void lbl_GuangBoMouseLeave(QObject* sender);
  void OpenLink(const std::string& Address);
  // Every try at the feed failed: downloads are refused from now on.
  void FeedUnreachableReported() { feed_unreachable_ = true; }
  bool FeedUnreachable() const { return feed_unreachable_; }
  // Where OpenLink hands web addresses; tests replace it.
  BrowserLauncher OpenInBrowserFn = OpenInBrowser;

 private:
  void ConnectAnnouncementHandlers();
  void StartAnnouncements();
  bool AnnouncementLineActive() const;
  // Titles and links in pairs, the broadcast at 10 and 11; absent until the feed is fetched.
  std::optional<std::vector<std::string>> AnnouncementList;
  bool feed_unreachable_ = false;
  // Joined before the window goes, so that it never posts to a window that is gone.
  std::unique_ptr<AnnouncementThread> announcement_thread_;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  void FormCreate();
  void ConnectHandlers();

  void RefuseDownload(const char* message);
  void ShowSignInState();

  TFrm_About* Frm_About = nullptr;
  // The running (or last) download; dropping it cancels the worker and waits for it.
  std::unique_ptr<DownloadTask> download_;
  bool shown_ = false;
  bool told_others_may_read_ = false;
  std::string settings_file_;
  std::string settings_app_dir_;  // the AppDir settings_file_ was chosen for
};

}  // namespace tarn
