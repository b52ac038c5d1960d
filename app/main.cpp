// SPDX-License-Identifier: MIT
#include "app/application.h"
#include "app/form1.h"
#include "widgets/frm_about.h"

int main(int argc, char** argv) {
  tarn::TApplication app(argc, argv);
  tarn::TForm1 form;
  tarn::TFrm_About about(&form);
  form.SetAboutWindow(&about);
  form.show();
  return app.exec();
}
