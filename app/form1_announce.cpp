// SPDX-License-Identifier: MIT
// The main window's announcements: the feed thread, the rotating line, the broadcast text,
// their links and their looks under the mouse.
#include <QFont>
#include <QMetaObject>
#include <QPalette>
#include <QStringList>
#include <exception>
#include <utility>

#include "announce/announcement_rules.h"
#include "announce/web_address.h"
#include "app/form1.h"
#include "app/message_boxes.h"
#include "settings/config.h"

namespace tarn {
namespace {

// Feed entries are text in the program's 8-bit encoding, which is UTF-8.
QString AnsiText(const std::string& bytes) { return QString::fromUtf8(bytes); }

// The entries as the labels show them: the captions are compared with these.
QStringList DisplayTexts(const std::vector<std::string>& list) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(list.size()));
  for (const std::string& entry : list) texts << AnsiText(entry);
  return texts;
}

// Style flags become just the underline, or none; family and size stay. Moves come often, so
// the label is only touched when its look changes.
void SetUnderlineOnly(QLabel* label, bool underline) {
  QFont font = label->font();
  font.setBold(false);
  font.setItalic(false);
  font.setStrikeOut(false);
  font.setUnderline(underline);
  if (font != label->font()) label->setFont(font);
}

}  // namespace

void TForm1::ConnectAnnouncementHandlers() {
  connect(tmr_ad, &QTimer::timeout, this, [this] { Guarded([this] { tmr_adTimer(); }); });
  lbl_ad1->OnClick = [this](QObject* s) { Guarded([&] { lbl_ad1Click(s); }); };
  lbl_ad1->OnMouseMove = [this](QObject* s) { lbl_ad1MouseMove(s); };
  lbl_ad1->OnMouseLeave = [this](QObject* s) { lbl_ad1MouseLeave(s); };
  lbl_GuangBo->OnClick = [this](QObject* s) { Guarded([&] { lbl_GuangBoClick(s); }); };
  lbl_GuangBo->OnMouseMove = [this](QObject* s) { lbl_GuangBoMouseMove(s); };
  lbl_GuangBo->OnMouseLeave = [this](QObject* s) { lbl_GuangBoMouseLeave(s); };
}

void TForm1::StartAnnouncements() {
  const std::string address = FeedUrl();
  if (address.empty()) return;
  try {
    // Both reports go to the window's own thread in one piece each. The thread is joined
    // before the window goes, and a call still queued then is dropped with it.
    AnnouncementEvents events;
    events.ready = [this](std::vector<std::string> list) {
      QMetaObject::invokeMethod(
          this, [this, list = std::move(list)]() mutable { ShowAnnouncements(std::move(list)); },
          Qt::QueuedConnection);
    };
    events.unreachable = [this] {
      QMetaObject::invokeMethod(
          this, [this] { FeedUnreachableReported(); }, Qt::QueuedConnection);
    };
    announcement_thread_ =
        std::make_unique<AnnouncementThread>(address, std::move(events), ServiceOptions.proxy);
  } catch (const std::exception&) {
    // Without the thread the program runs with no announcements, and downloads stay allowed.
  }
}

void TForm1::ShowAnnouncements(std::vector<std::string> list) {
  AnnouncementList = std::move(list);
  // Feed text is shown as it stands: markup in it is neither rendered nor followed.
  lbl_ad1->setTextFormat(Qt::PlainText);
  lbl_GuangBo->setTextFormat(Qt::PlainText);
  if (!AnnouncementList->empty()) lbl_ad1->setText(AnsiText((*AnnouncementList)[kFirstTitle]));
  if (AnnouncementList->size() > kBroadcastLink)
    lbl_GuangBo->setText(AnsiText((*AnnouncementList)[kBroadcastText]));
}

bool TForm1::AnnouncementLineActive() const {
  return AnnouncementList && !AnnouncementList->empty() && !feed_unreachable_;
}

void TForm1::tmr_adTimer() {
  if (!AnnouncementLineActive()) return;
  const QStringList texts = DisplayTexts(*AnnouncementList);
  lbl_ad1->setText(texts[static_cast<qsizetype>(NextTitle(texts, lbl_ad1->text()))]);
}

void TForm1::lbl_ad1Click(QObject*) {
  if (!AnnouncementLineActive()) return;
  // A caption that is none of the titles yet finds no link: the click does nothing.
  if (const auto link = LinkForCaption(DisplayTexts(*AnnouncementList), lbl_ad1->text()))
    OpenLink((*AnnouncementList)[*link]);
}

void TForm1::lbl_GuangBoClick(QObject*) {
  if (!AnnouncementList) return;
  if (const auto link = BroadcastLink(AnnouncementList->size()))
    OpenLink((*AnnouncementList)[*link]);
}

void TForm1::OpenLink(const std::string& Address) {
  // The feed is a remote page: it may open web pages, never local files or programs.
  if (IsWebAddress(Address)) OpenInBrowserFn(Address);
}

void TForm1::lbl_ad1MouseMove(QObject*) {
  SetTextColor(lbl_ad1, kFormGreen);
  SetUnderlineOnly(lbl_ad1, false);
}

void TForm1::lbl_ad1MouseLeave(QObject*) {
  SetTextColor(lbl_ad1, kFormGreen);
  SetUnderlineOnly(lbl_ad1, true);
}

void TForm1::lbl_GuangBoMouseMove(QObject*) { SetUnderlineOnly(lbl_GuangBo, true); }

void TForm1::lbl_GuangBoMouseLeave(QObject*) { SetUnderlineOnly(lbl_GuangBo, false); }

}  // namespace tarn
