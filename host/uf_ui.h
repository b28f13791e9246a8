/* User-interface channels: message box, listing window, status line, prompts and message dialogs. */
#ifndef HOST_UF_UI_H
#define HOST_UF_UI_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Shows a message to the user (on the terminal and in the run log beside the part). It never waits in a batch run.
 * Returns 1. */
int uc1601(const char *message, int wait);

/* The listing window: a text file beside the part ("PART.lst") and the terminal. Opening an open window is harmless;
 * written text accumulates in call order. */
int UF_UI_open_listing_window(void);
int UF_UI_write_listing_window(const char *text);
int UF_UI_close_listing_window(void);

/* The status line (terminal and run log). */
int UF_UI_set_status(const char *text);

/* Prompts. Each waits for the user's answer: on the terminal in an interactive run; in a batch run the next of the
 * run's answers (the answers file, then --answer options, in order) is taken and must be of the prompt's kind. When no
 * answer is left, an answer does not fit the prompt, or the terminal's input ends, the host abandons the run: it says
 * which prompt went unanswered, the part is not saved, and from then on every prompt answers at once as if the user
 * backed out (text and point prompts UF_UI_PROMPT_CANCEL, message dialogs the first button offered), so that the
 * command comes to its end. */

/* What uc1600 and uc1616 return. */
#define UF_UI_PROMPT_BACK 1
#define UF_UI_PROMPT_CANCEL 2
#define UF_UI_PROMPT_KEPT 3    /* uc1600: the text was kept as it was */
#define UF_UI_PROMPT_ENTERED 5 /* uc1600: a new text was entered; uc1616: a point was entered */

/* Longest text uc1600 edits, terminator excluded. */
#define UF_UI_MAX_STRING_LEN 132

/* Asks for a text: text holds the current text (terminated within UF_UI_MAX_STRING_LEN + 1 bytes), which the user
 * keeps or replaces; the buffer must hold UF_UI_MAX_STRING_LEN + 1 bytes. *length receives the length of the text in
 * bytes. Returns UF_UI_PROMPT_KEPT, UF_UI_PROMPT_ENTERED, UF_UI_PROMPT_BACK or UF_UI_PROMPT_CANCEL, or
 * UF_err_bad_argument for arguments it cannot take (a null pointer, a text without a terminator in the buffer). */
int uc1600(const char *cue, char *text, int *length);

/* Asks for a point, in the coordinates of what is displayed (UF_DRAW_set_display_state): absolute model coordinates
 * x, y, z while the model is displayed, sheet millimetres x, y (z set to 0) while a drawing is. mode names how the
 * point is constructed, (1, 0) for a point given by its coordinates; the host takes typed coordinates in every mode.
 * display is reserved, 0. Returns UF_UI_PROMPT_ENTERED with the point, UF_UI_PROMPT_BACK or UF_UI_PROMPT_CANCEL (the
 * point untouched), or UF_err_bad_argument for arguments it cannot take. */
int uc1616(const char *cue, int mode[2], int display, double point[3]);

/* Kinds of message dialog; the kind is shown before the message. */
#define UF_UI_MESSAGE_QUESTION 1
#define UF_UI_MESSAGE_INFORMATION 2
#define UF_UI_MESSAGE_WARNING 3
#define UF_UI_MESSAGE_ERROR 4

/* The three buttons of a message dialog, in the order shown: buttonN TRUE offers the button, labelN is its text and
 * responseN what the dialog answers when it is chosen. Buttons not offered are neither shown nor accepted. */
typedef struct UF_UI_message_buttons_s {
    logical button1;
    logical button2;
    logical button3;
    const char *label1;
    const char *label2;
    const char *label3;
    int response1;
    int response2;
    int response3;
} UF_UI_message_buttons_t;

/* Shows num_messages lines of text under title (which may be empty) with the buttons offered, and waits for one;
 * *response receives its response. At least one message line and one offered button with a label are needed
 * (UF_err_bad_argument). */
int UF_UI_message_dialog(const char *title, int type, const char **messages, int num_messages,
                         const UF_UI_message_buttons_t *buttons, int *response);

#ifdef __cplusplus
}
#endif

#endif
