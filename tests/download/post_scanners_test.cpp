// SPDX-License-Identifier: MIT
// Scanners of a site's album, a note and a group topic, on trimmed pages of the service's shape.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/note_scanner.h"
#include "download/site_album_scanner.h"
#include "download/topic_scanner.h"

namespace tarn {
namespace {

const std::string kImg = "https://img3.doubanio.com/view/";

std::string SiteEntry(const std::string& pid, const std::string& link_attributes,
                      const std::string& image) {
  return "<li><div class=\"photo-item\"><a class=\"album_photo\" href=\"https://site.douban.com/"
         "lake/widget/photos/7/photo/" +
         pid + "/\"" + link_attributes + ">" + image + "</a><div class=\"desc\"><p>短 &amp; " +
         pid + "</p></div></div></li>";
}

TEST(ScanSitePhotos, EntriesCaptionsAndTheRestAfterTheLast) {
  const std::string thumb = kImg + "photo/thumb/public/p";
  const std::string page =
      "<div class=\"event-photo-list\"><ul class=\"list-s\">" +
      SiteEntry("1", " title=\"全 &quot;名&quot;\"", "<img src=\"" + thumb + "1.jpg\">") +
      SiteEntry("2", "", "<img alt='x' src='" + thumb + "2.jpg'/>") +  // caption from desc
      SiteEntry("3", " title=\"no image\"", "") + SiteEntry("4", " title=\"\"", "") +
      "<img src=\"" + thumb + "4.jpg\">" +                                       // after </a>
      SiteEntry("5", "", "<img src=\"" + kImg + "photo/thumb/x9/1/x5.jpg\">") +  // no token here
      SiteEntry("6", "", "<img data-src=\"" + thumb + "6.jpg\" src=\"" + thumb + "6.webp\">") +
      SiteEntry("7", "", "<img src=\"" + kImg + "photo/albumcover/public/p7.jpg\">") +
      "</ul></div><a class=\"album_photox\"><img src=\"" + thumb + "8.jpg\"></a>" +
      "<span class=\"next\"><link rel=\"next\" href=\"?start=30\"/></span>";
  std::vector<SitePhoto> found;
  const std::string_view rest = ScanSitePhotos(page, [&](SitePhoto p) { found.push_back(p); });
  EXPECT_EQ(found, (std::vector<SitePhoto>{{"p1", thumb + "1.jpg", "全 \"名\""},
                                           {"p2", thumb + "2.jpg", "短 & 2"},
                                           {"p6", thumb + "6.webp", "短 & 6"}}));
  EXPECT_TRUE(rest.starts_with("</a><div class=\"desc\"><p>短 &amp; 6")) << rest;
}

TEST(ScanNotePictures, ContainersPublicAndPrivatePicturesOnce) {
  const auto picture = [](const std::string& inner) {
    return "<div class=\"image-container image-float-center\"><div class=\"image-wrapper\">" +
           inner + "</div><div class=\"image-caption-wrapper\"></div></div>";
  };
  const std::string page =
      "<title>\n  湖上 &amp; 雪\n (豆瓣)</title><div class=\"note-header\"><h1>湖上</h1>"
      "<a href=\"https://www.douban.com/people/hupan/\" class=\"note-author\">湖 <b>畔</b></a>"
      "</div><div class=\"note-container\"><p>text <img src=\"" +
      kImg + "note/l/public/p7.jpg\"></p>" +                             // outside a container
      picture("<img src=\"" + kImg + "note/l/public/p1.jpg\">") +        //
      picture("<img src=\"" + kImg + "note/l/a1b2/51/x2.jpg\">") +       // a signed-in visitor's
      picture("<img src=\"" + kImg + "note/l/public/p1.jpg\">") +        // once
      picture("</div><img src=\"" + kImg + "note/l/public/p3.jpg\">") +  // after its end
      picture("<img src=\"" + kImg + "photo/l/public/p4.jpg\">") +       // not a note's
      picture("<img src=\"" + kImg + "note/l/public/p6.jpg\"><img src=\"" + kImg +
              "note/l/public/p8.jpg\">") +  // the first of two
      "<div class=\"image-container\"><img src=\"" +
      kImg + "note/l/public/p5.webp";  // unclosed
  const PostPictures note = ScanNotePictures(page);
  EXPECT_EQ(note.title, "湖上 & 雪");
  EXPECT_EQ(note.author, "湖 畔");
  EXPECT_EQ(note.pictures, (std::vector<PostPicture>{{"p1", kImg + "note/l/public/p1.jpg"},
                                                     {"x2", kImg + "note/l/a1b2/51/x2.jpg"},
                                                     {"p6", kImg + "note/l/public/p6.jpg"}}));
}

TEST(ScanTopicPictures, OnlyThePostsPicturesNotTheComments) {
  const std::string topic = kImg + "group_topic/";
  const struct {
    const char* name;
    std::string page;
    std::vector<std::string> ids;
  } cases[] = {
      {"today's",
       "<div class=\"topic-content\"><div class=\"rich-content topic-richtext\"><p>x</p>"
       "<div class=\"image-container\"><img src=\"" +
           topic + "l/public/p1.webp\"></div><img width=1 src=" + topic +
           "large/public/p2.jpg><img src=\"" + topic + "l/tok/5/x3.jpg\"><img src=\"" + kImg +
           "photo/l/public/p4.jpg\"></div></div><ul id=\"comments\"><li><img src=\"" + topic +
           "l/public/p5.webp\"></li></ul>",
       {"p1", "p2"}},
      {"older",
       "<div id=\"link-report\"><div class=\"topic-richtext\"><img src=\"" + topic +
           "large/public/p6.jpg\"></div></div><div class=\"reply-doc\"><img src=\"" + topic +
           "l/public/p7.jpg\"></div>",
       {"p6"}},
      {"unclosed", "<div class=\"rich-content\"><img src=\"" + topic + "l/public/p8.jpg\"", {}},
      {"no post", "<div class=\"reply-doc\"><img src=\"" + topic + "l/public/p9.jpg\"></div>", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> ids;
    for (const PostPicture& p : ScanTopicPictures(c.page).pictures) ids.push_back(p.id);
    EXPECT_EQ(ids, c.ids);
  }
  EXPECT_EQ(ScanTopicPictures("<title>话题</title><div class=\"topic-doc\"><span class=\"from\">"
                              "来自: <a href=\"/people/1/\">湖&nbsp;畔</a></span></div>")
                .author,
            "湖\u00a0畔");
}

}  // namespace
}  // namespace tarn
