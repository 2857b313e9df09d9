#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <memory>

#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/message_box.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "test_controls.h"

namespace {

using Lines = std::vector<std::string>;

// Records the form events in order.
struct TFormLog {
  Lines lines;
  void Watch(TForm& f) {
    f.OnShow = [this](TComponent*) { lines.push_back("Show"); };
    f.OnHide = [this](TComponent*) { lines.push_back("Hide"); };
    f.OnCloseQuery = [this](TComponent*, bool& canClose) {
      lines.push_back("CloseQuery");
      canClose = allowClose;
    };
    f.OnClose = [this](TComponent*, TCloseAction& action) {
      lines.push_back("Close");
      if (closeAction) action = *closeAction;
    };
  }
  bool allowClose = true;
  std::optional<TCloseAction> closeAction;
};

// A form class that builds its controls, then announces itself as the class library does.
class TfrmTest : public TForm {
 public:
  explicit TfrmTest(TComponent* owner, Lines& log) : TForm(owner) {
    btnOk = new TBox(this, this, Bounds(0, 0, 20, 20), clGreen);
    btnOk->Name = "btnOk";
    OnCreate = [&log, this](TComponent*) { log.push_back("Create:" + btnOk->Name); };
    OnDestroy = [&log](TComponent*) { log.push_back("Destroy"); };
    DoCreate();
  }
  TBox* btnOk;
};

}  // namespace

TEST(Form, CreateRunsAfterTheControlsExistAndDestroyWhileTheyStillDo) {
  Lines log;
  {
    TfrmTest form(nullptr, log);
    EXPECT_EQ(form.FindComponent("BTNOK"), form.btnOk);
    EXPECT_FALSE(form.Visible());  // forms start hidden
  }
  EXPECT_EQ(log, (Lines{"Create:btnOk", "Destroy"}));
}

TEST(Form, CloseQueryCanRefuseAndOnCloseChoosesWhatHappens) {
  TForm form(nullptr);
  TFormLog log;
  log.Watch(form);
  form.Show();

  log.allowClose = false;
  SimulateCloseButton(form);  // the window's own close button takes the same road
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(log.lines, (Lines{"Show", "CloseQuery"}));

  log.allowClose = true;
  log.closeAction = caNone;
  form.Close();
  EXPECT_TRUE(form.Visible());

  log.closeAction.reset();  // the default: hide
  SimulateCloseButton(form);
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(log.lines,
            (Lines{"Show", "CloseQuery", "CloseQuery", "Close", "CloseQuery", "Close", "Hide"}));
}

TEST(Form, OnCloseMayFreeTheFormsControls) {
  TForm form(nullptr);
  auto* panel = new TWinControl(&form);
  panel->SetParent(&form);
  form.OnClose = [&](TComponent*, TCloseAction&) { std::unique_ptr<TWinControl>(panel).reset(); };
  form.Show();
  SimulateCloseButton(form);
  EXPECT_EQ(form.ControlCount(), 0);
  Application->ProcessMessages();
}

TEST(Form, ShowModalReturnsTheResultAButtonSets) {
  TForm form(nullptr);
  auto* button = new TBox(&form, &form, Bounds(10, 10, 20, 20), clGreen);
  button->OnClick = [&](TComponent*) { form.SetModalResult(mrYes); };
  form.OnShow = [&](TComponent*) { QueueCall([&] { SimulateClick(*button, 5, 5); }); };
  EXPECT_EQ(form.ShowModal(), mrYes);
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(form.ModalResult(), mrYes);
}

TEST(Form, AModalFormThatRefusesToCloseStaysOpenUntilItAgrees) {
  TForm form(nullptr);
  TFormLog log;
  log.Watch(form);
  int asked = 0;
  form.OnCloseQuery = [&](TComponent*, bool& canClose) {
    canClose = ++asked > 1;
    if (!canClose) {
      EXPECT_EQ(form.ModalResult(), mrCancel);
      QueueCall([&] { form.SetModalResult(mrOk); });  // the second try is allowed
    }
  };
  form.OnShow = [&](TComponent*) { QueueCall([&] { SimulateCloseButton(form); }); };
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(log.lines, (Lines{"Close", "Hide"}));
}

TEST(Form, AResultSetBeforeTheLoopRunsEndsShowModalAtOnce) {
  TForm form(nullptr);
  form.OnShow = [&](TComponent*) { form.SetModalResult(mrAbort); };
  EXPECT_EQ(form.ShowModal(), mrAbort);
}

TEST(Form, OnlyAHiddenFormCanBeShownModally) {
  TForm form(nullptr);
  form.Show();
  EXPECT_THROW(form.ShowModal(), EInvalidOperation);
  form.Hide();
  // A throwing OnShow leaves ShowModal, and the form is not left modal.
  form.OnShow = [](TComponent*) { throw std::runtime_error("no"); };
  EXPECT_THROW(form.ShowModal(), std::runtime_error);
  form.OnShow = [&](TComponent*) { form.SetModalResult(mrOk); };
  form.Hide();
  EXPECT_EQ(form.ShowModal(), mrOk);
}

TEST(Form, KeyPreviewLetsTheFormSeeAndSwallowKeysFirst) {
  TForm form(nullptr);
  auto* control = new TWinControl(&form);
  control->SetParent(&form);
  Lines log;
  control->OnKeyDown = [&](TComponent*, TKeyCode& key, TShiftState) {
    log.push_back("control:" + std::to_string(key));
  };
  control->OnKeyPress = [&](TComponent*, char& key) { log.push_back(std::string("press:") + key); };
  form.OnKeyDown = [&](TComponent*, TKeyCode& key, TShiftState) {
    log.push_back("form:" + std::to_string(key));
    if (key == VK_ESCAPE) key = 0;
  };
  SimulateKey(*control, 'A', "a");
  EXPECT_EQ(log, (Lines{"control:65", "press:a"}));  // without KeyPreview the form sees nothing

  log.clear();
  form.SetKeyPreview(true);
  SimulateKey(*control, 'A', "a");
  SimulateKey(*control, VK_ESCAPE, "\x1b");
  EXPECT_EQ(log, (Lines{"form:65", "control:65", "press:a", "form:27"}));
}

TEST(Form, PositionCentresOnTheScreenAtTheFirstShowing) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 201, 100);
  form.SetPosition(poScreenCenter);
  form.Show();
  EXPECT_EQ(form.Left(), (Screen->Width() - 201) / 2);
  EXPECT_EQ(form.Top(), (Screen->Height() - 100) / 2);
  form.Hide();
}

TEST(Form, ABorderlessStayOnTopFormKeepsItsStyles) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetFormStyle(fsStayOnTop);
  form.SetClientSize(150, 140);
  form.Show();
  EXPECT_EQ(form.BorderStyle(), bsNone);
  EXPECT_EQ(form.FormStyle(), fsStayOnTop);
  EXPECT_EQ(form.ClientWidth(), 150);
  EXPECT_TRUE(form.Visible());
  form.Hide();
}

TEST(Screen, ListsTheFormsThatExist) {
  const int before = Screen->FormCount();
  {
    TForm form(nullptr);
    EXPECT_EQ(Screen->FormCount(), before + 1);
    EXPECT_EQ(Screen->Forms(before), &form);
  }
  EXPECT_EQ(Screen->FormCount(), before);
  EXPECT_EQ(Screen->Forms(-1), nullptr);
  EXPECT_GT(Screen->Width(), 0);
}

TEST(MDI, AChildNeedsAFrameAndLivesInIt) {
  auto lonely = std::make_unique<TForm>(nullptr);
  EXPECT_THROW(lonely->SetFormStyle(fsMDIChild), EInvalidOperation);
  EXPECT_EQ(lonely->FormStyle(), fsNormal);

  TForm frame(nullptr);
  frame.SetFormStyle(fsMDIForm);
  frame.SetClientSize(400, 300);
  frame.Show();
  lonely->SetFormStyle(fsMDIChild);
  lonely->SetBounds(0, 0, 200, 100);
  lonely->SetWindowState(wsMaximized);
  lonely->Show();
  EXPECT_EQ(frame.MDIChildCount(), 1);
  EXPECT_EQ(frame.MDIChildren(0), lonely.get());
  EXPECT_EQ(lonely->WindowState(), wsMaximized);
  EXPECT_THROW(lonely->SetFormStyle(fsNormal), EInvalidOperation);

  lonely.reset();
  EXPECT_EQ(frame.MDIChildCount(), 0);
  frame.Hide();
}

TEST(MDI, AFrameClosesOnlyWhenEveryChildAgreesAndAClosedChildMinimises) {
  TForm frame(nullptr);
  frame.SetFormStyle(fsMDIForm);
  frame.Show();
  TForm child(nullptr);
  child.SetFormStyle(fsMDIChild);
  child.Show();
  bool childAgrees = false;
  child.OnCloseQuery = [&](TComponent*, bool& canClose) { canClose = childAgrees; };
  frame.Close();
  EXPECT_TRUE(frame.Visible());
  childAgrees = true;
  child.Close();
  EXPECT_EQ(child.WindowState(), wsMinimized);
  frame.Close();
  EXPECT_FALSE(frame.Visible());
}

TEST(MDI, AFrameFreedBeforeItsChildLeavesTheChildUsable) {
  auto frame = std::make_unique<TForm>(nullptr);
  frame->SetFormStyle(fsMDIForm);
  TForm child(nullptr);
  child.SetFormStyle(fsMDIChild);
  new TBox(&child, &child, Bounds(0, 0, 5, 5), clRed);
  child.Show();
  frame.reset();
  child.SetCaption("still here");
  child.Hide();
  EXPECT_EQ(child.ControlCount(), 1);
}

TEST(MDI, TheFrameGivesItsChildrenTheRoomItsAlignedControlsLeave) {
  TForm frame(nullptr);
  frame.SetFormStyle(fsMDIForm);
  frame.SetClientSize(300, 200);
  auto* top = new TWinControl(&frame);
  top->SetHeight(36);
  top->SetParent(&frame);
  top->SetAlign(alTop);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 300, 36));
  TForm child(nullptr);
  child.SetFormStyle(fsMDIChild);
  child.SetWindowState(wsMaximized);
  frame.Show();
  child.Show();
  // Maximised, the child takes all the room below the top panel.
  EXPECT_EQ(child.BoundsRect(), Rect(0, 0, 300, 164));
  // It has no title bar of its own, so no button of its own hides the working area.
  EXPECT_EQ(child.ClientToScreen(Point(0, 0)).Y, frame.ClientToScreen(Point(0, 36)).Y);
  child.SetWindowState(wsNormal);
  Application->ProcessMessages();
  EXPECT_GT(child.ClientToScreen(Point(0, 0)).Y, frame.ClientToScreen(Point(0, 36)).Y);
  child.SetWindowState(wsMaximized);
  Application->ProcessMessages();
  EXPECT_EQ(child.WindowState(), wsMaximized);
  EXPECT_EQ(child.ClientToScreen(Point(0, 0)).Y, frame.ClientToScreen(Point(0, 36)).Y);
  frame.Hide();
}

TEST(MessageBox, ShowsTheTextAndReturnsTheButtonPressed) {
  std::string text;
  std::string caption;
  QueueCall([&] { AnswerMessageBox(IDNO, &text, &caption); });
  EXPECT_EQ(MessageBox("Weiter? \xE4\xF6\xFC", "Frage", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(text, "Weiter? \xE4\xF6\xFC");
  EXPECT_EQ(caption, "Frage");

  QueueCall([] { AnswerMessageBox(IDCANCEL); });
  EXPECT_EQ(MessageBox("x", "y", MB_YESNOCANCEL | MB_ICONWARNING), IDCANCEL);
  QueueCall([] { AnswerMessageBox(IDOK); });
  EXPECT_EQ(MessageBox("x", "y", MB_OKCANCEL | MB_ICONERROR), IDOK);
  // With no answer queued the box would wait for ever: the test fails at once instead.
  EXPECT_NONFATAL_FAILURE(EXPECT_EQ(MessageBox("Niemand da?", "y", MB_YESNO), IDCANCEL),
                          "does not answer: Niemand da?");
}

TEST(MessageBox, TheErrorBoxIsCaptionedError) {
  std::string text, caption;
  QueueCall([&] { AnswerMessageBox(IDOK, &text, &caption); });
  EXPECT_EQ(ShowErrorBox("WX-STATION COM ERROR!"), IDOK);
  EXPECT_EQ(text, "WX-STATION COM ERROR!");
  EXPECT_EQ(caption, "Error");
}

TEST(MessageBox, ShowMessageIsTitledWithTheApplication) {
  const std::string title = Application->Title;
  Application->Title = "Velmora";
  std::string caption;
  QueueCall([&] { AnswerMessageBox(IDOK, nullptr, &caption); });
  ShowMessage("Hallo");
  Application->Title = title;
  EXPECT_EQ(caption, "Velmora");
}

TEST(Focus, SetFocusMovesTheFocusAndFiresEnterAndExit) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  Lines log;
  auto make = [&](const std::string& name, int left) {
    auto* c = new TWinControl(&form);
    c->Name = name;
    c->SetBounds(left, 0, 50, 50);
    c->SetTabStop(true);
    c->SetParent(&form);
    c->OnEnter = [&log](TComponent* s) { log.push_back(s->Name + ":Enter"); };
    c->OnExit = [&log](TComponent* s) { log.push_back(s->Name + ":Exit"); };
    return c;
  };
  TWinControl* first = make("first", 0);
  TWinControl* second = make("second", 60);
  form.Show();
  Application->ProcessMessages();  // let the window become active
  first->SetFocus();
  EXPECT_TRUE(first->Focused());
  second->SetFocus();
  EXPECT_TRUE(second->Focused());
  EXPECT_FALSE(first->Focused());
  EXPECT_EQ(log, (Lines{"first:Enter", "first:Exit", "second:Enter"}));
  form.Hide();
}
