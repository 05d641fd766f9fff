-- Runs in Neovim once the configuration under test has opened a .код file,
-- the cursor placed: writes to "отчёт" in the current folder the buffer's
-- diagnostics and the hover at the cursor as the language server gave them,
-- then quits whatever happened.
local report = {}
local ok, failure = pcall(function()
  local buffer = vim.api.nvim_get_current_buf()
  vim.wait(10000, function()
    return #vim.diagnostic.get(buffer) > 0
  end, 20)
  for _, diagnostic in ipairs(vim.diagnostic.get(buffer)) do
    table.insert(report, string.format("diagnostic %d:%d %s", diagnostic.lnum, diagnostic.col,
      diagnostic.message))
  end
  local answers = vim.lsp.buf_request_sync(buffer, "textDocument/hover",
    vim.lsp.util.make_position_params(), 10000)
  for _, answer in pairs(answers or {}) do
    local contents = answer.result and answer.result.contents
    table.insert(report, "hover " .. (contents and contents.value or "none"))
  end
end)
if not ok then
  table.insert(report, "failure " .. tostring(failure))
end
local file = io.open("отчёт", "w")
file:write(table.concat(report, "\n"), "\n")
file:close()
vim.cmd("qall!")
