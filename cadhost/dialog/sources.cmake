set(dir ${CMAKE_CURRENT_LIST_DIR})
cadhost_folder(dialog ${dir}/dialog_file.cpp ${dir}/dialog_form.cpp ${dir}/dialog_lookup.cpp ${dir}/batch_values.cpp
               ${dir}/terminal_form.cpp ${dir}/uf_styler.cpp
               ${dir}/prompt_answers.cpp ${dir}/prompts.cpp ${dir}/uf_prompts.cpp
               ${dir}/remote_ui.cpp ${dir}/prompt_sheet.cpp)
