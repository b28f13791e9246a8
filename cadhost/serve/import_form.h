// The choices of the window's import form, given to `quillon import` as the command line gives them.
#ifndef CADHOST_SERVE_IMPORT_FORM_H
#define CADHOST_SERVE_IMPORT_FORM_H

#include <functional>
#include <string>
#include <vector>

namespace cadhost::serve {

// Adds to `args` the options the form's fields ask for: keep_going ("1" for --keep-going), names ("auto", "product" or
// "body" for --names) and name_encoding (an encoding's name for --name-encoding); an empty field asks for nothing.
// `field` gives a field's text, empty when the form has none. False, with why, for a field that holds anything else.
bool import_form_options(const std::function<std::string(const std::string&)>& field, std::vector<std::string>& args,
                         std::string& error);

}  // namespace cadhost::serve

#endif
